#pragma once
// The whole program as the user gets it: every room's windows, created in the
// program's order, with their commands, hooks and settings. main() builds one and
// runs the event loop; the whole-program tests build the same one and drive it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dorvan {

class TForm1;

class Montagem {
public:
    // Needs the application object. caminhoPrograma: the program's file (its folder
    // holds "Dorvan.ini"); argumentos: the command line without the program's name.
    Montagem(const std::string& caminhoPrograma, std::vector<std::string> argumentos);
    ~Montagem();
    Montagem(const Montagem&) = delete;
    Montagem& operator=(const Montagem&) = delete;

    TForm1& Principal();
    // Shows the main window maximized, then opens the file named on the command line.
    void Mostra();
    // The hooks of the program's windows left unset, by name (main window, tabulation
    // dialog, map window, and the DBF browser when it exists).
    // The start-up refuses to run with any.
    std::vector<std::string> GanchosFaltando() const;

private:
    void Desmonta();
    struct Janelas;
    std::unique_ptr<Janelas> j_;
};

// Runs programa (the start-up and the event loop) and returns its exit status. An
// error that stops it is shown to the user and written to the standard error, and
// the status is then 70: the program ends instead of aborting.
int ExecutaPrograma(const std::function<int()>& programa);

} // namespace dorvan
