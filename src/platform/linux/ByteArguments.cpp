#include "platform/linux/ByteArguments.h"

#include <unistd.h>

#include <QProcess>
#include <memory>
#include <vector>

#include "platform/FileName.h"
#include "platform/linux/DesktopEntries.h"

extern char** environ;

namespace platform {

namespace {

// Runs in the child between fork and exec. Qt may start the child with vfork, which shares the
// parent's memory until exec: code checked by AddressSanitizer would leave its marks on the
// parent's stack there, from frames that never return, so this stays unchecked.
[[noreturn]]
#if defined(__GNUC__)
__attribute__((no_sanitize_address))
#endif
void execWithBytes(char* const* argv) {
    ::execve(argv[0], argv, environ);
    ::_exit(127);
}

}  // namespace

bool startWithByteArguments(QProcess& process, const QString& program,
                            const QStringList& arguments) {
    const QString path = desktop_entries::findProgram(program);
    if (path.isEmpty())
        return false;
    // The words live as long as the modifier, which runs in the child just before QProcess
    // would run the program itself, and runs it with the bytes instead.
    struct Words {
        std::vector<QByteArray> bytes;
        std::vector<char*> argv;
    };
    auto words = std::make_shared<Words>();
    words->bytes.push_back(encodeFileName(path));
    for (const QString& argument : arguments)
        words->bytes.push_back(encodeFileName(argument));
    for (QByteArray& word : words->bytes)
        words->argv.push_back(word.data());
    words->argv.push_back(nullptr);
    process.setProgram(path);
    process.setArguments(arguments);
    process.setChildProcessModifier([words] { execWithBytes(words->argv.data()); });
    process.start();
    return true;
}

}  // namespace platform
