#include "server/curl_event_loop.h"

CurlEventLoop::CurlEventLoop() : multi_(curl_multi_init()) {
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &CurlEventLoop::onSocket);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &CurlEventLoop::onTimer);
    curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
}

CurlEventLoop::~CurlEventLoop() {
    curl_multi_cleanup(multi_); // closes the kept connections, which may still call onSocket
    watches_.clear();
    retired_.clear();
}

CURLcode CurlEventLoop::run(CURL* easy) {
    retired_.clear();
    running_ = easy;
    done_ = false;
    result_ = CURLE_FAILED_INIT;
    if (curl_multi_add_handle(multi_, easy) != CURLM_OK) return CURLE_FAILED_INIT;
    // Started now rather than on the next turn of the loop, which the timer libcurl just set would wait for.
    act(CURL_SOCKET_TIMEOUT, 0);
    QEventLoop loop;
    loop_ = &loop;
    if (!done_) loop.exec(QEventLoop::ExcludeUserInputEvents);
    loop_ = nullptr;
    curl_multi_remove_handle(multi_, easy);
    running_ = nullptr;
    timer_.stop();
    return result_;
}

int CurlEventLoop::onSocket(CURL*, curl_socket_t socket, int what, void* self, void*) {
    static_cast<CurlEventLoop*>(self)->watch(socket, what);
    return 0;
}

int CurlEventLoop::onTimer(CURLM*, long timeoutMs, void* self) {
    QTimer& timer = static_cast<CurlEventLoop*>(self)->timer_;
    if (timeoutMs < 0)
        timer.stop();
    else
        timer.start(int(timeoutMs)); // 0: as soon as the loop runs, never from inside libcurl
    return 0;
}

void CurlEventLoop::watch(curl_socket_t socket, int what) {
    Watch& w = watches_[socket];
    auto notifier = [&](std::unique_ptr<QSocketNotifier>& n, QSocketNotifier::Type type, bool wanted,
                        int event) {
        if (!wanted) {
            if (n) n->setEnabled(false);
            return;
        }
        if (!n) {
            n = std::make_unique<QSocketNotifier>(qintptr(socket), type);
            QObject::connect(n.get(), &QSocketNotifier::activated,
                             [this, socket, event] { act(socket, event); });
        }
        n->setEnabled(true);
    };
    const bool remove = what == CURL_POLL_REMOVE;
    notifier(w.read, QSocketNotifier::Read, !remove && (what & CURL_POLL_IN), CURL_CSELECT_IN);
    notifier(w.write, QSocketNotifier::Write, !remove && (what & CURL_POLL_OUT), CURL_CSELECT_OUT);
    if (remove) {
        retired_.push_back(std::move(w));
        watches_.erase(socket);
    }
}

void CurlEventLoop::act(curl_socket_t socket, int events) {
    int running = 0;
    curl_multi_socket_action(multi_, socket, events, &running);
    collect();
}

void CurlEventLoop::collect() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
        if (message->msg != CURLMSG_DONE || message->easy_handle != running_) continue;
        result_ = message->data.result;
        done_ = true;
        if (loop_) loop_->quit();
    }
}
