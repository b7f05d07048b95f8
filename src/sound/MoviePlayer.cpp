#include "sound/MoviePlayer.h"

#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "gfx/Dib.h"

std::unique_ptr<CMoviePlayer> g_openingMovie;
std::unique_ptr<CMoviePlayer> g_staffRollMovie;

CMoviePlayer::CMoviePlayer(platform::WindowHandle parent, platform::WindowHandle instance,
                           const std::string& fileName, std::int32_t start)
    : path_(platform::CurrentDirectory() + "\\" + fileName), parent_(parent), instance_(instance), start_(start) {}

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
    if (g_mouse && (g_mouse->cancel || g_mouse->skip)) {
        Finish();
        return;
    }
    if (state_ == 0) {
        CloseMovie();
        movie_ = platform::OpenMovie(path_, hwnd);
        if (!movie_) platform::Tell("MOVIE", "Error", platform::BoxIcon::None);
        // The movie covers the window: the frames' paints must not draw over it.
        if (g_gameApp) g_gameApp->screenRect = platform::Rect{0, 0, 0, 0};
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
    if (g_backBuffer) g_backBuffer->FillRect(0, 0, 800, 600, 0);
    if (g_gameApp) {
        g_gameApp->screenRect = platform::Rect{0, 0, 800, 600};
        InvalidateRect(parent_, g_gameApp->screenRect);
    }
    if (movie_) {
        movie_->Stop();
        platform::Sleep(100);
        movie_.reset();
    }
    platform::Sleep(100);
    state_ = 0;
    if (g_mouse) {
        g_mouse->cancel = 0;
        g_mouse->click = 0;
        g_mouse->skip = 0;
    }
    if (g_gameApp) g_gameApp->mode = 2;
}
