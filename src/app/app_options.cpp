#include "app/app_options.h"

#include "core/program_info.h"

#include <QStringList>

namespace {

const char kUsage[] = "Usage: qavo [options] [FILE | /HADDR:server [/KEY:value]...]";

const char kHelp[] = R"(
Editor of the voice-menu trees of a voice server's auto-attendant.

Without argument the editor starts empty in local mode; with FILE it opens that tree file (quote a path
that holds spaces). With /HADDR: it starts online: it fetches the server's information file and tree,
and sends the edited tree back.

Options:
  -h, --help              Displays help on commandline options.
  -v, --version           Displays version information.

Switches (online mode; /KEY:value, separated by " /", a value runs up to the next " /"):
  /HADDR:server           voice server address (http://, https:// or a bare host)
  /HPORT:port             server port (80, or 443 for https://)
  /USER:name              server user name
  /PASS:password          server password
  /PADDR:host             HTTP proxy address
  /PPORT:port             HTTP proxy port
  /PLOGIN:name            proxy login (Basic, NTLM or Negotiate)
  /PPASS:password         proxy password
  /LANG:N                 translation file qavo_lgNN.txt (default 00, French; 01 English)
  /FORCEVERSION:text      server version used instead of the one the server reports

Files: translation files, HTML help and config.ini beside the program or in ../share/qavo; work folder
A.A under APPDATA or the per-user data folder. See qavo(1).)";

} // namespace

std::optional<int> handleEditorOptions(int argc, char* argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const program_info::Screened s = program_info::screen(args);
    switch (s.request) {
    case program_info::Request::Run:
        return std::nullopt;
    case program_info::Request::Help:
        return program_info::print(QString::fromLatin1(kUsage) + QString::fromLatin1(kHelp), 0);
    case program_info::Request::Version:
        return program_info::print(program_info::versionLine(QStringLiteral("qavo")), 0);
    case program_info::Request::UnknownOption:
        break;
    }
    program_info::print(QStringLiteral("qavo: unknown option '") + s.option + QStringLiteral("'"), 2, false);
    return program_info::print(QString::fromLatin1(kUsage), 2, false);
}
