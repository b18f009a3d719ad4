// Window tests: one QApplication for the whole program, offscreen.
#include "platform/ui/Janelas.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    // What Qt and the program keep for the user (the file dialogs' history, desktop
    // associations, database aliases) goes into a folder of this run, removed at exit,
    // never into the home folder or beside the test program.
    QTemporaryDir usuario;
    if (!usuario.isValid()) return 1;
    for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        qputenv(v, QFile::encodeName(usuario.filePath(QString::fromLatin1(v))));
    if (qgetenv("DORVAN_ALIASES").isEmpty())
        qputenv("DORVAN_ALIASES", QFile::encodeName(usuario.filePath(QStringLiteral("Aliases.ini"))));
    int r = 0;
    {
        dorvan::Aplicacao app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        r = RUN_ALL_TESTS();
    }
    return r;
}
