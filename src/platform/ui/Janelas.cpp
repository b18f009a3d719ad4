#include "platform/ui/Janelas.h"

#include "platform/Erros.h"
#include "platform/Texto1252.h"
#include "platform/ui/TSimNao.h"

#include <QDesktopServices>
#include <QDialog>
#include <QHBoxLayout>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QWindow>
#include <utility>
#include <vector>

namespace dorvan {

namespace {

QPointer<QWidget>& JanelaDoAssunto() {
    static QPointer<QWidget> janela;
    return janela;
}

// The windows that were active, the latest last.
std::vector<QPointer<QWidget>>& JanelasAtivadas() {
    static std::vector<QPointer<QWidget>> janelas;
    return janelas;
}

void AnotaJanelaAtiva(QWidget* w) {
    if (!w) return;
    auto& janelas = JanelasAtivadas();
    std::erase_if(janelas, [w](const QPointer<QWidget>& j) { return j.isNull() || j == w; });
    janelas.push_back(w);
}

bool Mostrada(QWidget* w) { return w && w->isVisible() && !w->isMinimized(); }

} // namespace

void MostraNaFrente(QWidget& janela) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != &janela) {
        const Qt::WindowModality modo = modal ? Qt::ApplicationModal : Qt::NonModal;
        if (janela.windowModality() != modo) {
            // The modality of a shown window takes effect only when it is shown again.
            janela.hide();
            janela.setWindowModality(modo);
        }
    }
    janela.show();
    janela.raise();
    janela.activateWindow();
}

QWidget* JanelaDasMensagens() {
    if (QWidget* modal = QApplication::activeModalWidget(); Mostrada(modal)) return modal;
    if (QWidget* assunto = JanelaDoAssunto(); Mostrada(assunto)) return assunto->window();
    if (QWidget* ativa = QApplication::activeWindow()) return ativa;
    const auto& janelas = JanelasAtivadas();
    for (auto i = janelas.rbegin(); i != janelas.rend(); ++i)
        if (Mostrada(*i)) return *i;
    return nullptr;
}

MensagensSobre::MensagensSobre(QWidget* janela) : anterior_(JanelaDoAssunto()) { JanelaDoAssunto() = janela; }
MensagensSobre::~MensagensSobre() { JanelaDoAssunto() = anterior_; }

MensagensQt::MensagensQt() {
    static bool seguindo = false;
    AnotaJanelaAtiva(QApplication::activeWindow());
    if (std::exchange(seguindo, true)) return;
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, qApp, [](QWindow* janela) {
        if (!janela) return;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowHandle() == janela) AnotaJanelaAtiva(w);
    });
}

void MensagensQt::Mostra(const std::string& texto) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), ParaQString(texto), QMessageBox::Ok,
                    JanelaDasMensagens());
    box.exec();
}

int MensagensQt::Confirma(const std::string& titulo, const std::string& texto,
                          const std::vector<std::string>& botoes) {
    QMessageBox box(QMessageBox::Question, ParaQString(titulo), ParaQString(texto), QMessageBox::NoButton,
                    JanelaDasMensagens());
    std::vector<QPushButton*> lista;
    for (const auto& b : botoes) lista.push_back(box.addButton(ParaQString(b), QMessageBox::ActionRole));
    if (!lista.empty()) {
        box.setDefaultButton(lista.front());
        box.setEscapeButton(lista.back());
    }
    box.exec();
    for (size_t i = 0; i < lista.size(); ++i)
        if (box.clickedButton() == lista[i]) return static_cast<int>(i);
    return lista.empty() ? 0 : static_cast<int>(lista.size()) - 1;
}

bool MensagensQt::SimOuNao(const std::string& titulo, const std::string& texto) {
    return dorvan::SimOuNao(titulo, texto);
}

std::string MensagensQt::EntraTexto(const std::string& pergunta, const std::string& padrao) {
    bool ok = false;
    QString r = QInputDialog::getText(JanelaDasMensagens(), QStringLiteral("Entra Msg"), ParaQString(pergunta),
                                      QLineEdit::Normal, ParaQString(padrao), &ok);
    return ok ? DeQString(r) : padrao;
}

bool MensagensQt::PerguntaNumero(const std::string& pergunta, const std::string& padrao, std::string& resposta) {
    bool ok = false;
    QString r = QInputDialog::getText(JanelaDasMensagens(), ParaQString("Entre um n\xFAmero"),
                                      ParaQString(pergunta), QLineEdit::Normal, ParaQString(padrao), &ok);
    if (ok) resposta = DeQString(r);
    return ok;
}

ProgressoJanela::ProgressoJanela(std::function<void(std::uint64_t, std::uint64_t, const std::string&)> mostra)
    : mostra_(std::move(mostra)) {}

void ProgressoJanela::Mostra(std::uint64_t feito, std::uint64_t total, const std::string& texto) {
    if (mostra_) mostra_(feito, total, texto);
    QCoreApplication::processEvents();
}

CursorOcupado::CursorOcupado() { QApplication::setOverrideCursor(Qt::WaitCursor); }
CursorOcupado::~CursorOcupado() { QApplication::restoreOverrideCursor(); }

QStringList FiltrosQt(const std::string& filtro) {
    const QStringList partes = ParaQString(filtro).split(QLatin1Char('|'));
    QStringList r;
    for (qsizetype i = 0; i + 1 < partes.size(); i += 2)
        r << partes[i].trimmed() + QStringLiteral(" (") +
                 QString(partes[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
    return r;
}

Aplicacao::Aplicacao(int& argc, char** argv) : QApplication(argc, argv) {}

std::string Aplicacao::TextoDoErro(std::exception_ptr e) { return TextoDoErroParaUsuario(e); }

bool Aplicacao::notify(QObject* receptor, QEvent* evento) {
    try {
        return QApplication::notify(receptor, evento);
    } catch (...) {
        std::string texto = TextoDoErro(std::current_exception());
        // Showing the error must not let a second one escape the event loop.
        try {
            MensagensAtuais().Mostra(texto);
        } catch (...) {
        }
        return false;
    }
}

bool AbreDocumento(const std::string& arquivoOuUrl) {
    QString s = QString::fromStdString(arquivoOuUrl);
    const bool local = QFileInfo::exists(s);
    const QString sufixo = QFileInfo(s).suffix().toLower();
    // The desktop opener starts with no complaint even when no browser is there to
    // show the page: without one, a page of ours is shown by the program itself.
    if (local && (sufixo == u"htm" || sufixo == u"html") && !HaNavegador()) {
        MostraPaginaHtml(QFileInfo(s).absoluteFilePath());
        return true;
    }
    QUrl url = local ? QUrl::fromLocalFile(QFileInfo(s).absoluteFilePath()) : QUrl(s);
    return QDesktopServices::openUrl(url);
}

bool HaNavegador() {
    if (!qEnvironmentVariableIsEmpty("BROWSER")) return true;
    for (const char* p : {"x-www-browser", "firefox", "firefox-esr", "chromium", "google-chrome"})
        if (!QStandardPaths::findExecutable(QString::fromLatin1(p)).isEmpty()) return true;
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()) return false;
    QProcess q;
    q.start(QStringLiteral("xdg-mime"),
            {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    return q.waitForFinished(3000) && !q.readAllStandardOutput().trimmed().isEmpty();
}

QWidget* MostraPaginaHtml(const QString& arquivo) {
    auto* janela = new QDialog(QApplication::activeWindow(), JanelaAuxiliar);
    janela->setObjectName(QStringLiteral("PaginaHtml"));
    janela->setAttribute(Qt::WA_DeleteOnClose);
    auto* pagina = new QTextBrowser(janela);
    pagina->setObjectName(QStringLiteral("Pagina"));
    pagina->setOpenExternalLinks(true);
    auto* voltar = new QPushButton(QStringLiteral("Voltar"), janela);
    auto* fechar = new QPushButton(QStringLiteral("Fechar"), janela);
    voltar->setEnabled(false);
    QObject::connect(voltar, &QPushButton::clicked, pagina, &QTextBrowser::backward);
    QObject::connect(pagina, &QTextBrowser::backwardAvailable, voltar, &QPushButton::setEnabled);
    QObject::connect(fechar, &QPushButton::clicked, janela, &QDialog::close);
    QObject::connect(pagina, &QTextBrowser::sourceChanged, janela,
                     [janela, pagina] { janela->setWindowTitle(pagina->documentTitle()); });
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(voltar);
    botoes->addStretch(1);
    botoes->addWidget(fechar);
    auto* v = new QVBoxLayout(janela);
    v->addWidget(pagina, 1);
    v->addLayout(botoes);
    pagina->setSource(QUrl::fromLocalFile(arquivo));
    janela->setWindowTitle(pagina->documentTitle());
    janela->resize(900, 680);
    janela->show();
    return janela;
}

namespace {

struct UsoFonteFixa {
    QPointer<QWidget> w;
    std::function<void(const QFont&)> aplica;
};

QString& FamiliaFonteFixa() {
    static QString familia = QStringLiteral("Courier New");
    return familia;
}

std::vector<UsoFonteFixa>& UsosFonteFixa() {
    static std::vector<UsoFonteFixa> usos;
    return usos;
}

void AplicaFonteFixa(const UsoFonteFixa& u) {
    QFont f = FonteFixa(u.w->font().pointSize());
    if (u.aplica)
        u.aplica(f);
    else
        u.w->setFont(f);
}

} // namespace

QFont FonteFixa(int pontos) {
    QFont f(FamiliaFonteFixa(), pontos);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

void UsaFonteFixa(QWidget* w, std::function<void(const QFont&)> aplica) {
    auto& usos = UsosFonteFixa();
    std::erase_if(usos, [](const UsoFonteFixa& u) { return u.w.isNull(); });
    usos.push_back({w, std::move(aplica)});
    AplicaFonteFixa(usos.back());
}

void DefineFonteFixa(const QString& familia) {
    FamiliaFonteFixa() = familia;
    auto& usos = UsosFonteFixa();
    std::erase_if(usos, [](const UsoFonteFixa& u) { return u.w.isNull(); });
    for (const auto& u : usos)
        AplicaFonteFixa(u);
}

} // namespace dorvan
