#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace sim {

// What a fault does to the reply of a matching request.
enum class FaultKind {
    Login,    // 401 even with the right credentials
    Drop,     // headers and half the body, then the connection closed
    Truncate, // an honest reply whose body is half the normal one
    Oversize, // a body larger than any client accepts
    Slow,     // the normal reply after a delay (value: milliseconds)
    Status,   // information replies: the value at byte 256
    Count,    // information replies: status 2 and the value as the count at byte 272
};

struct Fault {
    FaultKind kind = FaultKind::Login;
    qint64 value = 0;
    // Empty name and no code: every request.
    QString fileName;
    std::optional<quint32> code;
    bool once = false;
};

// SPEC = KIND[:VALUE][@TARGET][,once]
//   KIND   login | drop | truncate | oversize | slow:MS | status:N | count:N
//   TARGET a bare file name, or #N for the information request of code N; every request when absent
std::optional<Fault> parseFault(const QString& spec, QString* error);

// The faults in force; the first one matching a request applies, a "once" fault is then dropped.
class FaultList {
public:
    void add(const Fault& fault) { faults_.append(fault); }
    void clear() { faults_.clear(); }
    // fileName for file requests, code for information requests.
    std::optional<Fault> take(const QString& fileName, std::optional<quint32> code);

private:
    QList<Fault> faults_;
};

QString faultKindName(FaultKind kind);

} // namespace sim
