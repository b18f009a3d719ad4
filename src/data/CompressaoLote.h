#pragma once
// The work behind the compress-and-expand window, apart from its controls: the
// DBF and DBC folders, the lists of their files with the user's marks, and the
// walks over the marked files, which stop between files when the user aborts.
// Whoever calls ComprimeDBF or ExpandeDBC for a file in the window's name sets
// the folders here first.
#include "platform/Progresso.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace dorvan {

// One line of a file list: the file name as the system gives it and whether the
// user marked it.
struct EntradaLista {
    std::string nome;
    bool marcado = false;
    bool operator==(const EntradaLista&) const = default;
};

class CompressaoLote {
public:
    // Sets the folder and lists its files ("*.dbf" or "*.dbc", any case, by name),
    // none marked. Refused (false) while a command runs.
    bool MudaDirDBF(const std::string& pasta);
    bool MudaDirDBC(const std::string& pasta);
    const std::string& DirDBF() const { return dirDBF_; }
    const std::string& DirDBC() const { return dirDBC_; }

    // Compresses DirDBF/nome into DirDBC/nome with the extension ".dbc" and lists
    // the new file unless it is listed. True when the file was written.
    bool Comprime(const std::string& nome, Progresso& progresso);
    // Expands DirDBC/nome into DirDBF/nome with the extension ".dbf" and lists it
    // unless listed; with Grava off only checks the CRC. True when the file was
    // expanded (or checked) without error.
    bool Expande(const std::string& nome, Progresso& progresso);

    // The buttons: each walks its list in order, lets pending window events run
    // before every entry, stops there when the abort flag is set (clearing it),
    // and works on the marked entries. Input/output errors end the walk and reach
    // the caller; the other codec failures are shown and the walk goes on.
    void ComprimeMarcados(Progresso& progresso);
    void ExpandeMarcados(Progresso& progresso);
    // Expands the marked DBC files with Grava off: checks them, writes nothing.
    void TestaCRC(Progresso& progresso);
    // Erases the marked DBF files whose DBC this run wrote and, checked again now,
    // still holds them (its CRC right and unchanged since); for any other it offers
    // to compress first, and a DBF not compressed and checked stays. No abort here.
    void RemoveDBF(Progresso& progresso);

    // The abort button: the file under way is finished, no other is begun.
    void PedeAborto() { abortar_ = true; }
    bool AbortoPedido() const { return abortar_; }
    void LimpaAborto() { abortar_ = false; }

    bool Ocupado() const { return ocupado_; }
    bool Grava() const { return grava_; }

    std::vector<EntradaLista> ListaDBF;
    std::vector<EntradaLista> ListaDBC;

    // Lets pending window events run (the abort button among them).
    std::function<void()> ProcessaEventos;
    // An entry was added to or removed from a list.
    std::function<void()> ListasMudaram;
    // "Comprimindo " or "Expandindo " + name when a file begins, empty when it ends.
    std::function<void(const std::string& texto)> MostraArquivo;

private:
    // A DBC written by Comprime, as it was then.
    struct Escrito {
        std::uintmax_t tamanho = 0;
        std::filesystem::file_time_type data;
    };
    bool ConfereEscrito(const std::string& dbc, Progresso& progresso);

    template <typename F> void Percorre(const std::vector<EntradaLista>& lista, F&& trabalho);
    void Acrescenta(std::vector<EntradaLista>& lista, const std::string& nome);

    std::string dirDBF_ = ".";
    std::string dirDBC_ = ".";
    bool grava_ = true;
    bool abortar_ = false;
    bool ocupado_ = false;
    std::map<std::string, Escrito> escritos_; // by the DBC's full name
};

} // namespace dorvan
