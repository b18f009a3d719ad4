#pragma once
// The program exactly as main() assembles it, driven offscreen. One per test program,
// built on first use and kept for the whole run as the program keeps its windows.
// Message boxes are recorded and every question is answered by cancelling; every
// dialog a command opens is recorded and closed.
#include "app/Montagem.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "table/ui/TForm1.h"

#include <QString>
#include <functional>
#include <set>
#include <string>
#include <vector>

class QAction;
class QWidget;

namespace dorvan {
class TTabula;
}

namespace dorvan::teste {

// Records what is shown; every question is cancelled (the last button, "no", the default).
class MensagensCancela : public Mensagens {
public:
    std::vector<std::string> textos; // in order, questions too
    void Mostra(const std::string& texto) override { textos.push_back(texto); }
    int Confirma(const std::string&, const std::string& texto, const std::vector<std::string>& botoes) override {
        textos.push_back(texto);
        return static_cast<int>(botoes.size()) - 1;
    }
    bool SimOuNao(const std::string&, const std::string& texto) override {
        textos.push_back(texto);
        return false;
    }
    std::string EntraTexto(const std::string& pergunta, const std::string& padrao) override {
        textos.push_back(pergunta);
        return padrao;
    }
    bool PerguntaNumero(const std::string& pergunta, const std::string&, std::string&) override {
        textos.push_back(pergunta);
        return false;
    }
};

// The assembled program (shown), its main window, its messages, and the folder that
// stands for the program's own folder (its Dorvan.ini) and holds the tests' files.
Montagem& Programa();
TForm1& Principal();
MensagensCancela& Msgs();
const PastaTemporaria& Pasta();
// Documents the program asked the desktop to open.
std::vector<std::string>& DocumentosAbertos();

// The table states the commands are tried in: none, several columns, one column.
enum class Estado { SemTabela, ComTabela, UmaColuna };
const char* NomeEstado(Estado e);
void Prepara(Estado e);

// What a command visibly did.
struct Efeito {
    std::vector<std::string> dialogos; // modal windows it opened (class and title)
    std::vector<std::string> janelas;  // windows it showed and left open
    std::vector<std::string> mensagens;
    std::vector<std::string> documentos;
    bool tabelaMudou = false;
    bool marcaMudou = false;
    bool areaTransferencia = false;
    bool arquivos = false; // a file of the program's folder written
    bool saiu = false;     // the main window closed (the program ends)
    bool Algum() const;
    std::string Descreve() const;
};

// Triggers the action, closing every dialog it opens (after acaoNoDialogo, when given,
// had its turn on each) and every window it leaves open (after aoDeixarAberta, when
// given, had its turn on each).
Efeito Dispara(QAction* a, const std::function<void(QWidget*)>& acaoNoDialogo = {},
               const std::function<void(QWidget*)>& aoDeixarAberta = {});

// The visible items of a main-window menu (by its object name, submenus included) and
// of the tool bar.
std::vector<QAction*> AcoesDoMenu(const char* menu);
std::vector<QAction*> AcoesDaBarra();

// Opens, outermost first, the menus that hold the action, as a user reaching it does:
// their opening handlers run. A tool button's action is left as it is.
void AbreMenusDe(QAction* a);

// Tries each action in each state, after opening its menus, when it is then shown and enabled; the actions that did
// nothing, "name (state)". jaFeito names the "name (state)" pairs whose state is already what the command makes.
std::vector<std::string> AcoesSemEfeito(const std::vector<QAction*>& acoes, const std::set<std::string>& jaFeito = {});


// The sample data (DBC files, a DEF, CNVs, a map), written once per test program.
const std::string& Amostra();

// "Executar tabulação" as a user runs it: the sample's obitos.def chosen in the open-DEF
// dialog, then the tabulation dialog's "Executar", after escolhas (when given) set its
// choices. *escolheu and *rodou tell which of the two dialogs came up.
Efeito TabulaAmostra(const std::function<void(TTabula&)>& escolhas = {}, bool* escolheu = nullptr,
                     bool* rodou = nullptr);

} // namespace dorvan::teste
