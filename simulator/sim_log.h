#pragma once

#include <QByteArray>
#include <QString>
#include <deque>

namespace sim {

// The control log: the last lines only, so that a simulator left running does not grow without end.
class RequestLog {
public:
    explicit RequestLog(std::size_t capacity = 1000) : capacity_(capacity) {}

    void append(const QString& line) {
        lines_.push_back(line);
        if (lines_.size() > capacity_) lines_.pop_front();
    }
    // One line per request, oldest first, each ending with a line feed.
    QByteArray text() const {
        QString all;
        for (const QString& line : lines_)
            all += line + u'\n';
        return all.toUtf8();
    }

private:
    std::size_t capacity_;
    std::deque<QString> lines_;
};

} // namespace sim
