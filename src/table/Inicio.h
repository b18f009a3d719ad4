#pragma once
// The program's start-up order: every window created once, in the fixed order of
// OrdemJanelas, the first being the main window; then the database engine; then the
// SQL query window, only when the engine started. Windows not written yet are
// simply not registered.
#include <functional>
#include <string>
#include <vector>

namespace dorvan {

// Title and help file of the application.
inline constexpr const char* TituloAplicacao = "Dorvan32";
inline constexpr const char* ArquivoAjuda = "Dorvan32.hlp";

// The window classes in the order they are created.
const std::vector<std::string>& OrdemJanelas();

class InicioPrograma {
public:
    // fabrica creates the window and keeps it in its process-wide variable. Throws
    // std::invalid_argument for a name outside OrdemJanelas or registered twice.
    void RegistraJanela(const std::string& nome, std::function<void()> fabrica);
    // The engine start: 0 when it is ready (any other value: no SQL functions).
    void RegistraMotor(std::function<int()> inicia);
    // Creates TfQuery and shows the main window's SQL button and menu item.
    void RegistraSQL(std::function<void()> criaConsulta, std::function<void()> mostraComandosSQL);

    // Runs the start-up once; later calls do nothing and return the first answer.
    // True when the engine started.
    bool Executa();

    bool Executado() const { return executado_; }
    bool MotorIniciado() const { return motorIniciado_; }
    // Names of the windows created, in creation order (TfQuery last when created).
    const std::vector<std::string>& Criadas() const { return criadas_; }

private:
    struct Janela {
        std::string nome;
        std::function<void()> fabrica;
    };
    std::vector<Janela> janelas_;
    std::function<int()> motor_;
    std::function<void()> criaConsulta_;
    std::function<void()> mostraSQL_;
    std::vector<std::string> criadas_;
    bool executado_ = false;
    bool motorIniciado_ = false;
};

} // namespace dorvan
