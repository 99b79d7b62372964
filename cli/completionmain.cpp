// kova-export-completion FILE: writes kova-export's bash completion script
// to FILE, from the table of options the program itself parses with.
#include "completion.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fputs("Usage: kova-export-completion FILE\n", stderr);
        return 64;
    }
    QSaveFile file(QFile::decodeName(argv[1]));
    const QByteArray script = completionScript().toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size() || !file.commit()) {
        std::fprintf(stderr, "kova-export-completion: unable to write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
