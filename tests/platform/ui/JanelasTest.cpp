#include "platform/ui/Janelas.h"

#include "platform/Erros.h"
#include "platform/Texto1252.h"

#include <QAbstractButton>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>
#include <system_error>
#include <vector>

namespace dorvan {
namespace {

// Runs acao on the first modal dialog that opens, from inside its own event loop.
void QuandoAbrir(std::function<void(QWidget*)> acao) {
    auto* relogio = new QTimer;
    relogio->setInterval(5);
    QObject::connect(relogio, &QTimer::timeout, [relogio, acao] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            relogio->stop();
            relogio->deleteLater();
            acao(w);
            // A failed check above leaves the dialog open; close it so the test ends.
            if (w->isVisible()) QTimer::singleShot(0, w, &QWidget::close);
        }
    });
    relogio->start();
}

std::vector<std::string> Botoes(QMessageBox* box) {
    std::vector<std::string> r;
    for (QAbstractButton* b : box->buttons()) r.push_back(DeQString(b->text()));
    return r;
}

QAbstractButton* BotaoDeTexto(QMessageBox* box, const std::string& texto) {
    for (QAbstractButton* b : box->buttons())
        if (DeQString(b->text()) == texto) return b;
    return nullptr;
}

// What a message box showed, read before a button is clicked.
struct Caixa {
    std::string titulo, texto, padrao;
    std::vector<std::string> botoes;
};

// Opens a box through f, records it and clicks the button captioned `clica`
// ("" presses Esc).
template <typename F>
auto ResponderCaixa(Caixa& vista, const std::string& clica, F f) {
    QuandoAbrir([&vista, clica](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        vista = {DeQString(box->windowTitle()), DeQString(box->text()), {}, Botoes(box)};
        if (clica.empty()) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            QAbstractButton* b = BotaoDeTexto(box, clica);
            ASSERT_NE(b, nullptr) << clica;
            b->click();
        }
    });
    return f();
}

TEST(MensagensQt, ConfirmationShowsRelabelledButtonsAndAnswersTheOnePressed) {
    MensagensQt m;
    const std::vector<std::string> botoes = {"&Sim", "&N\xE3o", "&Cancela"};
    struct Caso {
        std::string clica;
        int resposta;
    } casos[] = {{"&Sim", 0}, {"&N\xE3o", 1}, {"&Cancela", 2}, {"", 2}};
    for (const auto& c : casos) {
        Caixa vista;
        int r = ResponderCaixa(vista, c.clica, [&] { return m.Confirma("Confirme", "Salvar a tabela atual?", botoes); });
        EXPECT_EQ(r, c.resposta) << c.clica;
        EXPECT_EQ(vista.titulo, "Confirme");
        EXPECT_EQ(vista.texto, "Salvar a tabela atual?");
        EXPECT_EQ(vista.botoes, botoes);
    }
}

TEST(MensagensQt, PlainMessageHasTheProgramCaptionAndOneButton) {
    MensagensQt m;
    QApplication::setApplicationName(QStringLiteral("Dorvan32"));
    Caixa vista;
    ResponderCaixa(vista, "OK", [&] {
        m.Mostra("Arquivo n\xE3o encontrado");
        return 0;
    });
    EXPECT_EQ(vista.titulo, "Dorvan32");
    EXPECT_EQ(vista.texto, "Arquivo n\xE3o encontrado");
    EXPECT_EQ(vista.botoes, std::vector<std::string>{"OK"});
}

// A box belongs to the window it concerns, else to the active one, else to the one that
// was active last and is still shown: never to no window while one is up.
TEST(MensagensQt, BoxesBelongToTheWindowTheyConcernOrTheLastActiveOne) {
    MensagensQt m;
    QWidget principal, outra;
    principal.show();
    outra.show();
    principal.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&principal));
    auto paiDaCaixa = [&m] {
        QWidget* pai = nullptr;
        QuandoAbrir([&pai](QWidget* w) {
            pai = w->parentWidget();
            static_cast<QMessageBox*>(w)->accept();
        });
        m.Mostra("Aviso");
        return pai;
    };
    EXPECT_EQ(paiDaCaixa(), &principal);
    {
        MensagensSobre sobre(&outra);
        EXPECT_EQ(paiDaCaixa(), &outra) << "the window concerned, though another is active";
        {
            QWidget escondida;
            MensagensSobre deNovo(&escondida);
            EXPECT_EQ(JanelaDasMensagens(), &principal) << "a hidden window is not one to open over";
        }
        EXPECT_EQ(JanelaDasMensagens(), &outra);
    }
    EXPECT_EQ(JanelaDasMensagens(), &principal);
    // Between windows: the active one gone, the one active before it is still shown.
    outra.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&outra));
    outra.hide();
    QApplication::processEvents();
    EXPECT_EQ(JanelaDasMensagens(), &principal);
}

// Types `digita` into the input box (or cancels when nullopt) and records what it showed.
void ResponderEntrada(Caixa& vista, std::optional<std::string> digita) {
    QuandoAbrir([&vista, digita](QWidget* w) {
        auto* d = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(d, nullptr);
        vista.titulo = DeQString(d->windowTitle());
        vista.texto = DeQString(d->labelText());
        vista.padrao = DeQString(d->textValue());
        if (!digita) {
            d->reject();
            return;
        }
        auto* campo = d->findChild<QLineEdit*>();
        ASSERT_NE(campo, nullptr);
        campo->setText(ParaQString(*digita)); // keyClicks takes ASCII only
        d->accept();
    });
}

TEST(MensagensQt, TextInputGivesTheAnswerOrTheDefaultWhenCancelled) {
    MensagensQt m;
    struct Caso {
        std::optional<std::string> digita;
        std::string resposta;
    } casos[] = {{std::string("Popula\xE7\xE3o residente"), "Popula\xE7\xE3o residente"}, {std::nullopt, "Outras"}};
    for (const auto& c : casos) {
        Caixa vista;
        ResponderEntrada(vista, c.digita);
        EXPECT_EQ(m.EntraTexto("Entre com a descri\xE7\xE3o da linha", "Outras"), c.resposta);
        EXPECT_EQ(vista.titulo, "Entra Msg");
        EXPECT_EQ(vista.texto, "Entre com a descri\xE7\xE3o da linha");
        EXPECT_EQ(vista.padrao, "Outras");
    }
}

TEST(MensagensQt, NumberInputReturnsTheTypedTextOrFalse) {
    MensagensQt m;
    Caixa vista;
    std::string resposta = "antes";
    ResponderEntrada(vista, std::string("1.234,5"));
    EXPECT_TRUE(m.PerguntaNumero("Nova Largura ", "10", resposta));
    EXPECT_EQ(resposta, "1.234,5");
    EXPECT_EQ(vista.titulo, "Entre um n\xFAmero");
    EXPECT_EQ(vista.padrao, "10");

    resposta = "antes";
    ResponderEntrada(vista, std::nullopt);
    EXPECT_FALSE(m.PerguntaNumero("Nova Largura ", "10", resposta));
    EXPECT_EQ(resposta, "antes");
}

// An object whose event handler fails the way a command can.
class Falha : public QObject {
public:
    std::function<void()> lanca;
    int eventos = 0;
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        ++eventos;
        if (lanca) lanca();
        return true;
    }
};

TEST(Aplicacao, ShowsAnEscapedErrorThroughTheMessagesAndGoesOn) {
    ASSERT_NE(dynamic_cast<Aplicacao*>(QCoreApplication::instance()), nullptr);
    MensagensRoteiro roteiro;
    UsaMensagens uso(roteiro);
    Falha alvo;
    struct Caso {
        std::function<void()> lanca;
        std::string mensagem;
    } casos[] = {
        {[] { throw ErroFatal("Arquivo DEF inv\xE1lido"); }, "Arquivo DEF inv\xE1lido"},
        {[] { throw ErroES("/dados/x.dbf", "No such file or directory"); },
         "Erro de E/S em /dados/x.dbf: No such file or directory"},
        {[] { throw 42; }, "Erro desconhecido"},
        // The standard library's English texts ("std::bad_alloc") never reach the user.
        {[] { throw std::bad_alloc(); }, MensagemSemMemoria},
        {[] { throw std::length_error("cannot create std::vector larger than max_size()"); }, MensagemSemMemoria},
        {[] { (void)std::vector<int>().at(3); }, MensagemErroInterno},
        {[] { throw std::system_error(std::make_error_code(std::errc::io_error)); }, MensagemErroInterno},
        {[] {}, ""},
    };
    for (const auto& c : casos) {
        roteiro.Limpa();
        alvo.lanca = c.lanca;
        // Through the event loop, as a menu command would run.
        QCoreApplication::postEvent(&alvo, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        // And sent directly.
        QEvent direto(QEvent::User);
        QCoreApplication::sendEvent(&alvo, &direto);
        std::vector<std::string> esperado;
        if (!c.mensagem.empty()) esperado = {c.mensagem, c.mensagem};
        EXPECT_EQ(roteiro.Textos(), esperado);
    }
    EXPECT_EQ(alvo.eventos, 2 * static_cast<int>(std::size(casos)));
}

TEST(PaginaHtml, WithoutABrowserAPageOfOursOpensInTheProgramAndFollowsItsLinks) {
    QTemporaryDir pasta;
    auto grava = [&](const char* nome, const char* html) {
        QFile f(pasta.filePath(QString::fromLatin1(nome)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(html);
    };
    grava("a.htm", "<html><head><title>Primeira</title></head><body><a href=\"b.htm#fim\">b</a></body></html>");
    grava("b.htm", "<html><head><title>Segunda</title></head><body><h2 id=\"fim\">Fim</h2></body></html>");

    const QByteArray path = qgetenv("PATH"), browser = qgetenv("BROWSER");
    qputenv("BROWSER", "/bin/true");
    EXPECT_TRUE(HaNavegador());
    // No browser and no desktop opener to ask.
    qunsetenv("BROWSER");
    qputenv("PATH", "/nenhuma");
    EXPECT_FALSE(HaNavegador());
    EXPECT_TRUE(AbreDocumento(pasta.filePath(QStringLiteral("a.htm")).toStdString()));
    qputenv("PATH", path);
    if (!browser.isEmpty()) qputenv("BROWSER", browser);

    QWidget* janela = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == u"PaginaHtml" && w->isVisible()) janela = w;
    ASSERT_NE(janela, nullptr);
    EXPECT_EQ(janela->windowTitle(), QStringLiteral("Primeira"));
    auto* pagina = janela->findChild<QTextBrowser*>(QStringLiteral("Pagina"));
    ASSERT_NE(pagina, nullptr);
    pagina->setSource(QUrl(QStringLiteral("b.htm#fim")));
    EXPECT_EQ(janela->windowTitle(), QStringLiteral("Segunda"));
    QPushButton* voltar = nullptr;
    for (auto* b : janela->findChildren<QPushButton*>())
        if (b->text() == u"Voltar") voltar = b;
    ASSERT_NE(voltar, nullptr);
    ASSERT_TRUE(voltar->isEnabled());
    voltar->click();
    EXPECT_EQ(janela->windowTitle(), QStringLiteral("Primeira"));
    janela->close();
}

TEST(FiltrosQt, PairsTextAndPatternsAsQtNameFilters) {
    EXPECT_EQ(FiltrosQt("Map Maker Export (mme) |*.mme|Todos|*.map;*.dbf"),
              (QStringList{QStringLiteral("Map Maker Export (mme) (*.mme)"), QStringLiteral("Todos (*.map *.dbf)")}));
    EXPECT_EQ(FiltrosQt("Convers\xE3o|*.cnv|sem padr\xE3o"), QStringList{QString::fromUtf8("Convers\u00e3o (*.cnv)")});
    EXPECT_TRUE(FiltrosQt("").isEmpty());
}

TEST(CursorOcupado, RestoresTheCursorWhenAnErrorPasses) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    try {
        CursorOcupado fora;
        {
            CursorOcupado dentro;
            ASSERT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        throw ErroFatal("falhou");
    } catch (const ErroFatal&) {
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(ProgressoJanela, LetsPendingEventsRunWhenItRefreshes) {
    std::vector<std::uint64_t> mostrados;
    ProgressoJanela p([&](std::uint64_t feito, std::uint64_t, const std::string&) { mostrados.push_back(feito); });
    bool rodou = false;
    QTimer::singleShot(0, [&] { rodou = true; });
    for (std::uint64_t i = 1; i <= 1000; ++i) p.Avanca(i, 1000);
    EXPECT_TRUE(rodou);
    EXPECT_EQ(mostrados.front(), 1u);
    EXPECT_LE(mostrados.size(), 4u); // never once per record
}

} // namespace
} // namespace dorvan
