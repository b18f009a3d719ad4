#pragma once
// The composing aids of the SQL window's editor: names by double click, sums,
// the GROUP BY skeleton, drag and drop of columns and tables, joins by dragging a
// column onto another table, the search in the lists, find and replace, and the
// visual query builder behind "cvc". Attached to a TfQuery by LigaAuxiliosSQL.
#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QListWidget;

namespace dorvan {

class MotorBD;
class TfQuery;
class DialogoProcura;

// How a find or replace searches, from the dialog's options.
struct OpcoesProcura {
    bool maiusculas = false; // match case
    bool palavraInteira = false;
    bool paraCima = false; // search backward
};

class AuxiliosConsulta : public QObject {
    Q_OBJECT
public:
    AuxiliosConsulta(TfQuery& janela, MotorBD& motor);

    // The table name of the chosen entry of lbTabelas (without ".DBF").
    std::string Tabela() const;
    void lbColunasDblClick();
    void lbTabelasDblClick();
    void bSomaClick();
    void bAgrupaClick();
    // A drop on the editor from one of the lists.
    void SoltaNoEditor(QListWidget* origem);
    // A column of lbColunas dropped on row linha of lbTabelas.
    void SoltaEmTabela(int linha);
    // Right click on a list: asks and selects what matches.
    void ProcuraNaLista(QListWidget* lista);
    void IncluiTabelaNoFrom(const std::string& tabela);
    void bOQBClick();

    // Find ("Ctrl+F") and replace ("Ctrl+R"); false after the message when not found.
    bool Procura(const std::string& texto, const OpcoesProcura& o);
    bool Substitui(const std::string& texto, const std::string& novo, const OpcoesProcura& o, bool todas);
    void MostraProcura(bool substituir);

    // Where the aids ask; tests answer directly. Empty = cancelled.
    std::function<std::optional<std::string>()> PerguntaBusca;
    // Runs the builder on the alias; the generated lines on OK.
    std::function<std::optional<std::vector<std::string>>(const std::string& alias)> Construtor;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Insere(const std::string& texto);
    std::vector<std::string> ColunasSelecionadas(bool qualifica) const;

    TfQuery& j_;
    MotorBD& motor_;
    DialogoProcura* procura_ = nullptr;
};

// Attaches the aids to the window (once); the object is the window's child.
AuxiliosConsulta* LigaAuxiliosSQL(TfQuery& janela, MotorBD& motor);

} // namespace dorvan
