// What the desktop's MIME database says of each file name given: type and comment, one line
// each, as a freshly started program sees the user's data folders.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QMimeDatabase db;
    for (int i = 1; i < argc; ++i) {
        const QMimeType type =
            db.mimeTypeForFile(QString::fromLocal8Bit(argv[i]), QMimeDatabase::MatchExtension);
        out << type.name() << '\t' << type.comment() << '\n';
    }
    return 0;
}
