#pragma once

namespace platform {

// Waits that let the window process events (the verification's per-section pause, polling for a file,
// progress updates) go through one object: the editor uses the real delays, tests and the CLI none.
class Pacing {
public:
    virtual ~Pacing() = default;
    // Lets pending events run, then waits the given milliseconds (still processing events).
    virtual void pause(int milliseconds) = 0;
    // Lets pending events run without waiting.
    virtual void processEvents() = 0;
};

// Real delays, processing events while waiting.
class EventLoopPacing final : public Pacing {
public:
    void pause(int milliseconds) override;
    void processEvents() override;
};

// No wait, no event processing: for tests and the headless tools.
class NoPacing final : public Pacing {
public:
    void pause(int) override {}
    void processEvents() override {}
};

} // namespace platform
