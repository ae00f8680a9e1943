#pragma once

#include <QObject>

// While the editor waits on the server, what the user types or clicks is dropped, not kept for later:
// a key pressed during a fetch must not land in the tree that arrives. The busy pointer shows meanwhile.
// Input held back by the wait is delivered (and dropped) before the blocker goes.
class InputBlocker : public QObject {
public:
    InputBlocker();
    ~InputBlocker() override;
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
