#pragma once

struct ca_context;

// The short warning sound played when the generator falls out of step: the desktop
// sound theme's "dialog-warning", played without waiting for it; the system beep when
// the theme's sound cannot be played. Failures are never reported.
class AlertSound {
public:
    AlertSound() = default;
    AlertSound(const AlertSound &) = delete;
    AlertSound &operator=(const AlertSound &) = delete;
    virtual ~AlertSound();

    virtual void play();

private:
    ca_context *m_context = nullptr;
    bool m_contextFailed = false;
};
