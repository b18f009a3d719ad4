#include "platform/Processos.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace dorvan {

ResultadoPrograma ExecutaComArgumentos(const std::string& programa, const std::vector<std::string>& argumentos,
                                       bool esperar, const std::string& pasta,
                                       const std::function<void()>& enquantoEspera) {
    ResultadoPrograma r;
    QStringList args;
    for (const auto& a : argumentos) args << QString::fromStdString(a);
    QString prog = QString::fromStdString(programa);
    QString dir = QString::fromStdString(pasta);
    if (!esperar) {
        qint64 pid = 0;
        r.iniciou = QProcess::startDetached(prog, args, dir, &pid);
        if (!r.iniciou) r.erro = "não foi possível iniciar " + programa;
        return r;
    }
    QProcess p;
    if (!dir.isEmpty()) p.setWorkingDirectory(dir);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(prog, args);
    if (!p.waitForStarted(-1)) {
        r.erro = p.errorString().toStdString();
        return r;
    }
    r.iniciou = true;
    while (p.state() != QProcess::NotRunning) {
        if (p.waitForFinished(50)) break;
        if (enquantoEspera) enquantoEspera();
    }
    r.codigoSaida = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

std::string AchaNoPath(const std::string& programa) {
    return QStandardPaths::findExecutable(QString::fromStdString(programa)).toStdString();
}

} // namespace dorvan
