// Processor identity and features, detected once at start.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

struct CpuInfo {
    std::array<char, 13> vendor{};  // 12 characters and a terminator
    std::array<char, 49> brand{};   // 48 characters and a terminator
    std::uint32_t type = 0;
    std::uint32_t family = 0;
    std::uint32_t model = 0;
    std::uint32_t stepping = 0;
    std::uint32_t maxStandard = 0;
    std::uint32_t maxExtended = 0;
    // FPU, TSC, MSR, CMOV, MMX, SSE, SSE2, SSE3, MMX extensions, 3DNow!
    // extensions, 3DNow!, and one that stays 0.
    std::array<std::uint8_t, 12> features{};
    std::uint32_t clockMhz = 0;  // never measured
};

enum CpuFeature : int {
    kCpuFpu,
    kCpuTsc,
    kCpuMsr,
    kCpuCmov,
    kCpuMmx,
    kCpuSse,
    kCpuSse2,
    kCpuSse3,
    kCpuMmxExt,
    kCpu3DNowExt,
    kCpu3DNow,
};

class CSystemInfo {
public:
    CSystemInfo() { DetectCpu(); }
    void DetectCpu();
};

extern CpuInfo g_cpuInfo;
extern std::unique_ptr<CSystemInfo> g_systemInfo;
