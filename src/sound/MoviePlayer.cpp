#include "sound/MoviePlayer.h"

#include "sound/SoundDevice.h"

#include <utility>

std::unique_ptr<CMoviePlayer> g_openingMovie;
std::unique_ptr<CMoviePlayer> g_staffRollMovie;

CMoviePlayer::CMoviePlayer(platform::WindowHandle parent, platform::WindowHandle instance,
                           const std::string& fileName, std::int32_t start, MovieHost host)
    : path_(platform::CurrentDirectory() + "\\" + fileName), parent_(parent), instance_(instance),
      host_(std::move(host)), start_(start) {}

CMoviePlayer::~CMoviePlayer() {
    if (movie_) {
        CloseMovie();
        platform::Sleep(100);
    }
}

void CMoviePlayer::CloseMovie() {
    if (!movie_) return;
    movie_->Stop();
    movie_.reset();
}

void CMoviePlayer::Run(platform::WindowHandle hwnd) {
    if (host_.skipRequested && host_.skipRequested()) {
        Finish();
        return;
    }
    if (state_ == 0) {
        CloseMovie();
        // Its sound joins the game's own mixer: one output for everything.
        movie_ = platform::OpenMovie(path_, hwnd, g_soundDevice.GetDirectSound());
        if (!movie_) platform::Tell("MOVIE", "Error", platform::BoxIcon::None);
        if (host_.coverWindow) host_.coverWindow();
        length_ = movie_ ? movie_->GetLength() : 0;
        state_ = 1;
    }
    if (state_ == 1) {
        if (movie_) movie_->PlayFrom(start_);
        platform::Sleep(100);
        state_ = 2;
    }
    const std::int32_t position = movie_ ? movie_->GetPosition() : 0;
    if (position < length_ - 16) {
        movie_->Update();
        return;
    }
    Finish();
}

void CMoviePlayer::Finish() {
    if (host_.uncoverWindow) host_.uncoverWindow();
    if (movie_) {
        movie_->Stop();
        platform::Sleep(100);
        movie_.reset();
    }
    platform::Sleep(100);
    state_ = 0;
    if (host_.finished) host_.finished();
}
