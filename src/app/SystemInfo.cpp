#include "app/SystemInfo.h"

#include "platform/Platform.h"

#include <cstring>

CpuInfo g_cpuInfo;
std::unique_ptr<CSystemInfo> g_systemInfo = std::make_unique<CSystemInfo>();

namespace {

void CopyRegs(char* out, std::initializer_list<std::uint32_t> regs) {
    for (std::uint32_t r : regs) {
        std::memcpy(out, &r, 4);
        out += 4;
    }
}

std::uint8_t Bit(std::uint32_t value, int bit) { return static_cast<std::uint8_t>((value >> bit) & 1); }

}  // namespace

void CSystemInfo::DetectCpu() {
    CpuInfo info;
    std::optional<platform::CpuidRegs> f0 = platform::Cpuid(0);
    if (f0) {
        info.maxStandard = f0->eax;
        CopyRegs(info.vendor.data(), {f0->ebx, f0->edx, f0->ecx});
        if (info.maxStandard >= 1) {
            platform::CpuidRegs f1 = *platform::Cpuid(1);
            info.stepping = f1.eax & 0xF;
            info.model = (f1.eax >> 4) & 0xF;
            info.family = (f1.eax >> 8) & 0xF;
            info.type = (f1.eax >> 12) & 0x3;
            info.features[kCpuFpu] = Bit(f1.edx, 0);
            info.features[kCpuTsc] = Bit(f1.edx, 4);
            info.features[kCpuMsr] = Bit(f1.edx, 5);
            info.features[kCpuCmov] = Bit(f1.edx, 15);
            info.features[kCpuMmx] = Bit(f1.edx, 23);
            info.features[kCpuSse] = Bit(f1.edx, 25);
            info.features[kCpuSse2] = Bit(f1.edx, 26);
            info.features[kCpuSse3] = Bit(f1.ecx, 0);
        }
        platform::CpuidRegs e0 = *platform::Cpuid(0x80000000u);
        info.maxExtended = e0.eax;
        if (info.maxExtended >= 0x80000001u) {
            platform::CpuidRegs e1 = *platform::Cpuid(0x80000001u);
            info.features[kCpuMmxExt] = Bit(e1.edx, 22);
            info.features[kCpu3DNowExt] = Bit(e1.edx, 30);
            info.features[kCpu3DNow] = Bit(e1.edx, 31);
        }
        if (info.maxExtended >= 0x80000004u) {
            for (std::uint32_t i = 0; i < 3; ++i) {
                platform::CpuidRegs b = *platform::Cpuid(0x80000002u + i);
                CopyRegs(info.brand.data() + 16 * i, {b.eax, b.ebx, b.ecx, b.edx});
            }
        }
    }
    g_cpuInfo = info;
}
