#pragma once
// What the system shows the user and asks of them. The windows answer with Qt
// dialogs, Zembra on the console, tests from a script. All text is 1252 bytes.
#include <memory>
#include <string>
#include <vector>

namespace dorvan {

class Mensagens {
public:
    virtual ~Mensagens() = default;

    // A plain message box with an OK button.
    virtual void Mostra(const std::string& texto) = 0;

    // A confirmation with relabelled buttons (e.g. "&Sim", "&Não", "&Cancela").
    // Returns the index of the button pressed; closing the box answers the last one.
    virtual int Confirma(const std::string& titulo, const std::string& texto,
                         const std::vector<std::string>& botoes) = 0;

    // The system's own yes/no box: caption titulo (or "Sim ou Não?" when empty);
    // true only when "&Sim" was pressed.
    virtual bool SimOuNao(const std::string& titulo, const std::string& texto) = 0;

    // Text input captioned "Entra Msg": the answer, or padrao when cancelled.
    virtual std::string EntraTexto(const std::string& pergunta, const std::string& padrao) = 0;

    // Input query captioned "Entre um número" with a default text. False when cancelled.
    virtual bool PerguntaNumero(const std::string& pergunta, const std::string& padrao, std::string& resposta) = 0;
};

// The instance the program uses; the console one until a window layer sets its own.
Mensagens& MensagensAtuais();
// Sets the instance (not owned); nullptr goes back to the console one.
void DefineMensagens(Mensagens* m);

// Keeps a replacement in force for one scope (tests, Zembra).
class UsaMensagens {
public:
    explicit UsaMensagens(Mensagens& m);
    ~UsaMensagens();
    UsaMensagens(const UsaMensagens&) = delete;
    UsaMensagens& operator=(const UsaMensagens&) = delete;

private:
    Mensagens* anterior_;
};

// Messages printed on stdout (UTF-8); questions read from stdin, or their
// defaults when stdin is not a terminal.
class MensagensConsole : public Mensagens {
public:
    void Mostra(const std::string& texto) override;
    int Confirma(const std::string& titulo, const std::string& texto, const std::vector<std::string>& botoes) override;
    bool SimOuNao(const std::string& titulo, const std::string& texto) override;
    std::string EntraTexto(const std::string& pergunta, const std::string& padrao) override;
    bool PerguntaNumero(const std::string& pergunta, const std::string& padrao, std::string& resposta) override;
};

// For tests: records every text exactly and answers from a script. A question
// with no answer left in the script throws, so a test never hangs or guesses.
class MensagensRoteiro : public Mensagens {
public:
    struct Registro {
        std::string tipo;   // "Mostra", "Confirma", "SimOuNao", "EntraTexto", "PerguntaNumero"
        std::string titulo; // caption, when the call has one
        std::string texto;  // message or prompt
        std::vector<std::string> botoes; // button captions (Confirma)
        std::string padrao; // the default text offered (EntraTexto, PerguntaNumero)
    };

    // Answers, consumed in order. Confirma takes a button index (0 for the first
    // button; one outside the buttons throws), SimOuNao "S"/"N", text inputs the
    // text; Cancela() answers a cancel (closing the box, Esc).
    void Responde(const std::string& resposta);
    void Cancela();

    const std::vector<Registro>& Registros() const { return registros_; }
    std::vector<std::string> Textos() const; // only the texts, in order
    void Limpa() { registros_.clear(); }
    // Answers scripted but not yet asked for: a test may expect none left.
    size_t RespostasRestantes() const { return respostas_.size() - proxima_; }

    void Mostra(const std::string& texto) override;
    int Confirma(const std::string& titulo, const std::string& texto, const std::vector<std::string>& botoes) override;
    bool SimOuNao(const std::string& titulo, const std::string& texto) override;
    std::string EntraTexto(const std::string& pergunta, const std::string& padrao) override;
    bool PerguntaNumero(const std::string& pergunta, const std::string& padrao, std::string& resposta) override;

private:
    struct Resposta {
        bool cancela = false;
        std::string texto;
    };
    Resposta Proxima(const std::string& pergunta);
    std::vector<Registro> registros_;
    std::vector<Resposta> respostas_;
    size_t proxima_ = 0;
};

} // namespace dorvan
