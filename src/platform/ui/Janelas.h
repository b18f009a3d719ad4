#pragma once
// The window side of the platform layer: Qt dialogs for messages and questions,
// progress that keeps the window alive, the busy cursor, the application object
// that shows every escaped error and goes on, and the desktop's associations.
#include "platform/Mensagens.h"
#include "platform/Progresso.h"

#include <QApplication>
#include <QFont>
#include <QPointer>
#include <QProgressBar>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

namespace dorvan {

// The window a message box or question opens in front of: a modal dialog already up,
// else the window the message concerns (MensagensSobre), else the active window, else
// the window that was active last and is still shown. Between two windows (one closed,
// the next not yet activated by the window manager) the system has no active window;
// a box with no parent could then open behind the window that comes up next.
QWidget* JanelaDasMensagens();

// Shows a tool window in front, ready for input. Over a modal window already up (a
// command of a modal dialog opens it) it is modal itself, as it would open blocked
// behind that dialog otherwise; elsewhere it is a window like any other.
void MostraNaFrente(QWidget& janela);

// For the life of the object, messages and questions open in front of `janela`: the
// window whose command or redraw shows them, whichever window is active meanwhile.
class MensagensSobre {
public:
    explicit MensagensSobre(QWidget* janela);
    ~MensagensSobre();
    MensagensSobre(const MensagensSobre&) = delete;
    MensagensSobre& operator=(const MensagensSobre&) = delete;

private:
    QPointer<QWidget> anterior_;
};

class MensagensQt : public Mensagens {
public:
    // Starts following which windows become active (needs the application object).
    MensagensQt();
    void Mostra(const std::string& texto) override;
    int Confirma(const std::string& titulo, const std::string& texto, const std::vector<std::string>& botoes) override;
    bool SimOuNao(const std::string& titulo, const std::string& texto) override;
    std::string EntraTexto(const std::string& pergunta, const std::string& padrao) override;
    bool PerguntaNumero(const std::string& pergunta, const std::string& padrao, std::string& resposta) override;
};

// Progress on the window thread: shows figures through a callback and lets pending
// events run (at most every 50 ms), so a "Cancelar" button stays live.
class ProgressoJanela : public Progresso {
public:
    explicit ProgressoJanela(std::function<void(std::uint64_t, std::uint64_t, const std::string&)> mostra = {});

protected:
    void Mostra(std::uint64_t feito, std::uint64_t total, const std::string& texto) override;

private:
    std::function<void(std::uint64_t, std::uint64_t, const std::string&)> mostra_;
};

// The hourglass for the life of the object, restored on every path.
class CursorOcupado {
public:
    CursorOcupado();
    ~CursorOcupado();
    CursorOcupado(const CursorOcupado&) = delete;
    CursorOcupado& operator=(const CursorOcupado&) = delete;
};

// A file dialog's "Text|*.a|Other|*.b;*.c" (1252) as Qt's name filters
// "Text (*.a)" and "Other (*.b *.c)"; spaces around each text are dropped.
QStringList FiltrosQt(const std::string& filtro);

// A window that lives beside the one that owns it (its parent), such as the run log,
// a chart or a map: the window manager keeps it above its owner, never above a
// dialog opened later. A window kept above everything would hide a modal dialog
// the user could then neither answer nor get past.
inline constexpr Qt::WindowFlags JanelaAuxiliar = Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

// Shows any exception that escapes an event handler in a message box and goes on.
class Aplicacao : public QApplication {
public:
    Aplicacao(int& argc, char** argv);
    bool notify(QObject* receptor, QEvent* evento) override;
    // The text shown for an escaped exception (exposed for tests).
    static std::string TextoDoErro(std::exception_ptr e);
};

// Opens a document or URL with the desktop's association; false when none took it.
// A local HTML page is shown by MostraPaginaHtml when no browser is installed.
bool AbreDocumento(const std::string& arquivoOuUrl);
// Whether the desktop has a web browser to open pages with.
bool HaNavegador();
// Shows an HTML file in a window of the program (links followed inside it, "Voltar"
// goes back); the window deletes itself when closed.
QWidget* MostraPaginaHtml(const QString& arquivo);

// The fixed-pitch font the user chose for lists, memos and editors ("Courier New"
// until the settings say otherwise). A widget given to UsaFonteFixa takes its family
// at once and again on every DefineFonteFixa, keeping its own size; `aplica`
// replaces setFont for widgets that style their text themselves (editors).
void UsaFonteFixa(QWidget* w, std::function<void(const QFont&)> aplica = {});
void DefineFonteFixa(const QString& familia);
QFont FonteFixa(int pontos = -1);

} // namespace dorvan
