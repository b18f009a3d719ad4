#pragma once
// Starting outside programs: always with an argument list, never through a shell
// command line built from file names.
#include <functional>
#include <spawn.h>
#include <string>
#include <vector>

namespace dorvan {

struct ResultadoPrograma {
    bool iniciou = false;  // false when the program could not be started
    int codigoSaida = -1;  // exit code when waited for (-1 when it died of a signal)
    int codigoErro = 0;    // the system's error number when it did not start
    std::string erro;      // the system's reason when it did not start (UTF-8)
};

// Starts `programa` with `argumentos` in `pasta` (current folder when empty).
// A name without '/' is looked up on PATH. The program inherits standard input,
// output and error and no other open file. Without esperar it runs on its own
// and is reaped when it ends. With esperar, waits for it to end; `enquantoEspera`
// (when given) is called about every 50 ms meanwhile, so a window can keep painting.
ResultadoPrograma ExecutaComArgumentos(const std::string& programa, const std::vector<std::string>& argumentos,
                                       bool esperar, const std::string& pasta = {},
                                       const std::function<void()>& enquantoEspera = {});

// Full path of a program found on PATH, or empty.
std::string AchaNoPath(const std::string& programa);

// A started program gets no blocked signals, and SIGPIPE and SIGXFSZ back at their
// default (this process ignores them). The caller adds POSIX_SPAWN_SETSIGMASK and
// POSIX_SPAWN_SETSIGDEF to the flags.
void SinaisDoFilho(posix_spawnattr_t& atributos);

} // namespace dorvan
