#pragma once

#include <QString>
#include <QStringView>
#include <initializer_list>

// Where file operations and verification findings are reported. The diagnostics list of the main
// window is one; the headless tools print them.
class DiagnosticsSink {
public:
    // Levels of a finding.
    enum Level : short { Info = 0, Warning = 1, Error = 2, Ok = 3 };

    virtual ~DiagnosticsSink() = default;
    virtual void AjouteInfo(const QString& message, short level, const QString& tag) = 0;
    // A verification finding, with the label key of its diagnostic (a name that stays the same in every
    // language). Lists that show the text alone take it as any other line.
    virtual void AjouteFinding(const QString& message, short level, const QString& tag, const QString& key) {
        (void)key;
        AjouteInfo(message, level, tag);
    }
    // The same, with the text given as the pieces it is made of, in order. A large tree has thousands of
    // findings: a sink that prints them needs no joined copy of each. By default the pieces are joined.
    virtual void addFindingPieces(std::initializer_list<QStringView> pieces, short level, const QString& tag,
                                  const QString& key) {
        qsizetype size = 0;
        for (const QStringView piece : pieces)
            size += piece.size();
        QString message;
        message.reserve(size);
        for (const QStringView piece : pieces)
            message.append(piece);
        AjouteFinding(message, level, tag, key);
    }
};

// Swallows everything.
class NullDiagnostics final : public DiagnosticsSink {
public:
    void AjouteInfo(const QString&, short, const QString&) override {}
    void addFindingPieces(std::initializer_list<QStringView>, short, const QString&,
                          const QString&) override {}
};
