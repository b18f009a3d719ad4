#pragma once
// The run log of the current table: the tabulation writes it, the .tab file saves
// and reads it, the log window shows and edits it. Lines are 1252 text.
#include <functional>
#include <string>
#include <vector>

namespace dorvan {

class LogExecucao {
public:
    const std::vector<std::string>& Linhas() const { return linhas_; }
    void Acrescenta(const std::string& linha);
    void DefineLinhas(std::vector<std::string> linhas);
    void Limpa();

    // The lines joined by CR LF (no line end after the last), and back: CR LF, LF
    // or a lone CR all end a line.
    std::string Texto() const;
    void DefineTexto(const std::string& texto);

    // The text as a window shows it: a line longer than `limite` characters is cut
    // there and ends with its whole length, so no window has to lay out megabytes
    // of one line. And back from such a window: a cut line that comes back as it
    // was shown keeps its whole text.
    std::string TextoMostrado(std::size_t limite) const;
    void DefineTextoMostrado(const std::string& texto, std::size_t limite);

    // The "MostraLog" setting: whether opening a table shows the log window.
    bool MostraAoAbrir() const { return mostraAoAbrir_; }
    void DefineMostraAoAbrir(bool sim) { mostraAoAbrir_ = sim; }

    // Called after every change of the lines, so an open window can follow.
    void DefineAoMudar(std::function<void()> f) { aoMudar_ = std::move(f); }

private:
    void Mudou();
    std::vector<std::string> linhas_;
    bool mostraAoAbrir_ = false;
    std::function<void()> aoMudar_;
};

// How a window shows a line longer than `limite` characters.
std::string LinhaCortada(const std::string& linha, std::size_t limite);

// The one log of the program.
LogExecucao& LogAtual();

} // namespace dorvan
