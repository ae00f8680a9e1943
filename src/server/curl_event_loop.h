#pragma once

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <curl/curl.h>
#include <map>
#include <memory>
#include <vector>

// Runs one libcurl transfer at a time inside a Qt event loop: libcurl's sockets are watched by socket
// notifiers and its timeouts by a timer, so windows keep painting while the transfer runs and a peer
// living in the same thread (a test's listener) keeps answering. User input waits until the end.
// The multi handle outlives each transfer, so its connection cache keeps connections between calls.
class CurlEventLoop {
public:
    CurlEventLoop();
    ~CurlEventLoop();
    CurlEventLoop(const CurlEventLoop&) = delete;
    CurlEventLoop& operator=(const CurlEventLoop&) = delete;

    // Runs the easy handle to its end and returns its result.
    CURLcode run(CURL* easy);

private:
    struct Watch {
        std::unique_ptr<QSocketNotifier> read, write;
    };
    static int onSocket(CURL*, curl_socket_t socket, int what, void* self, void*);
    static int onTimer(CURLM*, long timeoutMs, void* self);
    void watch(curl_socket_t socket, int what);
    void act(curl_socket_t socket, int events);
    void collect();

    CURLM* multi_ = nullptr;
    QTimer timer_;
    std::map<curl_socket_t, Watch> watches_;
    // Notifiers of sockets libcurl let go of: deleted at the next run, never inside their own signal.
    std::vector<Watch> retired_;
    QEventLoop* loop_ = nullptr;
    CURL* running_ = nullptr;
    CURLcode result_ = CURLE_OK;
    bool done_ = false;
};
