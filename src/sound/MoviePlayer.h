// The opening (mode 24) and credits (mode 50) movies: played over the window
// until they end or the player skips them, then a black screen and mode 2.
#pragma once

#include "platform/Movie.h"
#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// What the player needs from the program around it, handed in by whoever
// starts the movie, so the player itself names no global of the shell.
struct MovieHost {
    // The player asked to skip (Esc, the right button or Ctrl).
    std::function<bool()> skipRequested;
    // The movie now covers the window: the frames' paints must not draw over it.
    std::function<void()> coverWindow;
    // The movie is over: the picture turns black and the whole window is repainted.
    std::function<void()> uncoverWindow;
    // Back to the script, with the skip and click input of the movie forgotten.
    std::function<void()> finished;
};

class CMoviePlayer {
public:
    CMoviePlayer(platform::WindowHandle parent, platform::WindowHandle instance,
                 const std::string& fileName, std::int32_t start, MovieHost host);
    // Stops and closes a movie still open.
    ~CMoviePlayer();
    CMoviePlayer(const CMoviePlayer&) = delete;
    CMoviePlayer& operator=(const CMoviePlayer&) = delete;

    void Run(platform::WindowHandle hwnd);

    std::uint8_t GetState() const { return state_; }
    const std::string& GetPath() const { return path_; }

private:
    void CloseMovie();
    void Finish();

    std::uint8_t state_ = 0;                           // 0 open, 1 start, 2 playing
    std::string path_;                                 // current directory + "\" + file name
    [[maybe_unused]] platform::WindowHandle parent_;   // the host repaints it
    [[maybe_unused]] platform::WindowHandle instance_; // the movie needs no module of its own here
    MovieHost host_;
    std::unique_ptr<platform::Movie> movie_;
    std::int32_t length_ = 0;
    std::int32_t start_ = 0;
};

extern std::unique_ptr<CMoviePlayer> g_openingMovie;
extern std::unique_ptr<CMoviePlayer> g_staffRollMovie;
