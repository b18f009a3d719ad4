#include "table/Utilidades.h"

#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "platform/Processos.h"
#include "platform/Texto1252.h"

#include <QCoreApplication>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace dorvan {

namespace {

// Growth and replacements far beyond any a caller needs; past either the
// replacement is taken as endless.
constexpr std::size_t kLimiteCrescimento = 64u * 1024u * 1024u;
constexpr std::size_t kLimiteTrocas = 100u * 1000u * 1000u;

std::function<void()>& EnquantoEspera() {
    static std::function<void()> f = [] {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    return f;
}

// Starts a program without a shell; the system's error number when it cannot be.
int Inicia(const std::string& programa, const std::vector<std::string>& argumentos, pid_t& pid) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(programa.c_str()));
    for (const auto& a : argumentos) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    // Only the standard streams pass to the child.
    posix_spawn_file_actions_addclosefrom_np(&acoes, 3);
    int r = posix_spawnp(&pid, programa.c_str(), &acoes, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&acoes);
    return r;
}

AbridorDocumentos& Abridor() {
    static AbridorDocumentos abridor = [](const std::string& arquivo) {
        std::string xdg = AchaNoPath("xdg-open");
        if (xdg.empty()) return 31; // no association
        pid_t pid = 0;
        if (Inicia(xdg, {arquivo}, pid) != 0) return 31;
        // Reap it in the background so it leaves no zombie.
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
        return 33;
    };
    return abridor;
}

bool PareceURL(const std::string& s) {
    return s.find("://") != std::string::npos || s.rfind("mailto:", 0) == 0;
}

} // namespace

std::string SubstituiTodos(const std::string& texto, const std::string& antigo, const std::string& novo) {
    if (antigo.empty() || novo.find(antigo) != std::string::npos) return texto;
    // Characters move one at a time into feito, which never holds an occurrence; a
    // replacement puts novo back in front of what is still to read. The first time
    // feito ends with antigo is the leftmost occurrence in the whole text, the one a
    // search from the start would find, so this is that search without its cost.
    const std::size_t m = antigo.size();
    const std::size_t limite = texto.size() + kLimiteCrescimento;
    std::string feito;
    feito.reserve(texto.size());
    std::string pendente; // replaced text still to read, last character first
    std::size_t i = 0;
    std::size_t trocas = 0;
    while (!pendente.empty() || i < texto.size()) {
        char c;
        if (pendente.empty()) {
            c = texto[i++];
        } else {
            c = pendente.back();
            pendente.pop_back();
        }
        feito.push_back(c);
        if (c != antigo.back() || feito.size() < m || feito.compare(feito.size() - m, m, antigo) != 0) continue;
        feito.resize(feito.size() - m);
        pendente.append(novo.rbegin(), novo.rend());
        if (++trocas > kLimiteTrocas + texto.size() ||
            feito.size() + pendente.size() + (texto.size() - i) > limite)
            return texto;
    }
    return feito;
}

std::string BarraParaFrente(std::string s) {
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

std::string BarraParaTras(std::string s) {
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

std::string DiretorioTemporario() {
    std::error_code ec;
    auto p = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : p.string();
}

bool DiretorioExiste(const std::string& caminho) {
    std::string c = caminho;
    if (c.size() > 1 && (c.back() == '\\' || c.back() == '/')) c.pop_back();
    if (c.empty()) return false;
    std::error_code ec;
    if (std::filesystem::is_directory(c, ec)) return true;
    // Names written on a system that ignores case and separates with '\'.
    std::string achado = ResolveNome(c);
    return !achado.empty() && std::filesystem::is_directory(achado, ec);
}

void DefineEnquantoEspera(std::function<void()> f) { EnquantoEspera() = std::move(f); }

int ExecutaPrograma(const std::string& programa, const std::vector<std::string>& argumentos, int /*modoJanela*/,
                    bool espera) {
    pid_t pid = 0;
    int erro = programa.empty() ? ENOENT : Inicia(programa, argumentos, pid);
    if (erro != 0)
        throw ErroPrograma("Falha ao executar programa. C\xF3" "digo de erro " + std::to_string(erro), erro);
    if (!espera) {
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
        return 0;
    }
    int estado = 0;
    for (;;) {
        pid_t r = waitpid(pid, &estado, WNOHANG);
        if (r == pid) break;
        if (r < 0 && errno != EINTR) return -1;
        if (EnquantoEspera()) EnquantoEspera()();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(estado)) return WEXITSTATUS(estado);
    if (WIFSIGNALED(estado)) return 128 + WTERMSIG(estado);
    return -1;
}

void DefineAbridorDocumentos(AbridorDocumentos abridor) {
    if (abridor) Abridor() = std::move(abridor);
}

int VerificaDocumento(const std::string& arquivo) {
    if (PareceURL(arquivo)) return 0;
    std::error_code ec;
    if (std::filesystem::exists(arquivo, ec) || !ResolveNome(arquivo).empty()) return 0;
    std::filesystem::path pai = std::filesystem::path(BarrasNormais(arquivo)).parent_path();
    if (pai.empty() || std::filesystem::is_directory(pai, ec)) return 2;
    return 3;
}

void ExploreWeb(const std::string& arquivo) {
    int codigo = VerificaDocumento(arquivo);
    if (codigo == 0) {
        std::string nome = PareceURL(arquivo) ? arquivo : ResolveNome(arquivo);
        codigo = Abridor()(nome.empty() ? arquivo : nome);
    }
    if (codigo > 32) return;
    const char* texto = nullptr;
    switch (codigo) {
    case 0: texto = "Out of Memory"; break;
    case 2: texto = "File not found"; break;
    case 3: texto = "Path not found"; break;
    case 11: texto = "Wrong format in EXE"; break;
    default: break;
    }
    if (texto)
        MensagensAtuais().Confirma("Erro em ExploreWeb", texto, {"OK"});
    else
        MensagensAtuais().Confirma("Error ExploreWeb", "Error Nr: " + std::to_string(codigo) + " in ShellExecute",
                                   {"OK"});
}

long long MilissegundosEntre(const QTime& inicio, const QTime& fim) {
    auto ms = [](const QTime& t, int horaExtra) {
        return (((static_cast<long long>(t.hour()) + horaExtra) * 60 + t.minute()) * 60 + t.second()) * 1000 +
               t.msec();
    };
    return ms(fim, fim.hour() < inicio.hour() ? 24 : 0) - ms(inicio, 0);
}

long long MilissegundosEntre(const QDateTime& inicio, const QDateTime& fim) {
    return MilissegundosEntre(inicio.time(), fim.time());
}

double Potencia(double a, double b) { return b > 0 ? std::exp(a * std::log(b)) : 0.0; }

void LeCampoCSV(std::string_view linha, std::size_t& cursor, char separador, std::string& campo) {
    std::size_t i = cursor;
    while (i < linha.size() && linha[i] == ' ') ++i;
    std::size_t inicio = i;
    std::size_t procura = i;
    if (i < linha.size() && linha[i] == '"') {
        std::size_t fecha = linha.find('"', i + 1);
        procura = fecha == std::string_view::npos ? linha.size() : fecha + 1;
    }
    std::size_t sep = procura < linha.size() ? linha.find(separador, procura) : std::string_view::npos;
    if (sep == std::string_view::npos) {
        campo = linha.substr(std::min(inicio, linha.size()));
        cursor = linha.size();
    } else {
        campo = linha.substr(inicio, sep - inicio);
        cursor = sep + 1;
    }
}

std::string FiltraNumeroCSV(std::string_view campo, char marca) {
    std::string r;
    for (char ch : campo) {
        if (ch == marca)
            r += '.';
        else if ((ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == 'E' || ch == 'e')
            r += ch;
    }
    return r;
}

double ValorNumeroCSV(const std::string& filtrado) {
    if (filtrado.empty()) return 0;
    const auto exato = LeNumeroMaquina(filtrado);
    const double v = exato ? *exato : LePrefixoNumerico(filtrado);
    return std::isfinite(v) ? v : 0;
}

void SeparaEm(std::string& texto, std::string_view separador, std::string& parte) {
    std::size_t p = separador.empty() ? std::string::npos : texto.find(separador);
    if (p == std::string::npos) {
        parte = texto;
        texto.clear();
    } else {
        parte = texto.substr(0, p);
        texto.erase(0, p + separador.size());
    }
}

bool ProximaPalavra(std::string& texto, std::string& palavra) {
    std::size_t i = texto.find_first_not_of(' ');
    if (i == std::string::npos) {
        texto.clear();
        return false;
    }
    std::size_t fim = texto.find(' ', i);
    if (fim == std::string::npos) fim = texto.size();
    palavra = texto.substr(i, fim - i);
    texto.erase(0, fim);
    return true;
}

std::vector<std::string> Palavras(std::string_view texto) {
    std::vector<std::string> r;
    std::size_t i = 0;
    while ((i = texto.find_first_not_of(' ', i)) != std::string_view::npos) {
        std::size_t fim = std::min(texto.find(' ', i), texto.size());
        r.emplace_back(texto.substr(i, fim - i));
        i = fim;
    }
    return r;
}

std::string TiraCaractere(char modo, char c, const std::string& s) {
    switch (modo) {
    case 'A': {
        std::string r;
        for (char x : s)
            if (x != c) r.push_back(x);
        return r;
    }
    case 'L': {
        std::size_t i = s.find_first_not_of(c);
        return i == std::string::npos ? std::string() : s.substr(i);
    }
    case 'R': {
        std::size_t i = s.find_last_not_of(c);
        return i == std::string::npos ? std::string() : s.substr(0, i + 1);
    }
    case 'B': return TiraCaractere('R', c, TiraCaractere('L', c, s));
    default: return s;
    }
}

std::string Brancos(int n) { return n > 0 ? std::string(static_cast<std::size_t>(n), ' ') : std::string(); }

namespace {

// One character (1252) of a mailto address, as UTF-8 with the bytes outside the
// unreserved set (and `tambem`) percent-encoded.
std::string CaractereURL(char c, char tambem) {
    static const char* const hex = "0123456789ABCDEF";
    const bool livre = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~' || (tambem && c == tambem);
    if (livre) return std::string(1, c);
    std::string r;
    for (unsigned char b : ParaUtf8(std::string_view(&c, 1))) {
        r += '%';
        r += hex[b >> 4];
        r += hex[b & 15];
    }
    return r;
}

} // namespace

std::string EnderecoEnviarPara(const std::string& endereco, const std::string& titulo) {
    constexpr std::size_t MaxEndereco = 120;
    std::string url = "mailto:";
    for (char c : endereco) url += CaractereURL(c, '@');
    url += "?subject=";
    for (char c : titulo) {
        const std::string parte = CaractereURL(c, 0);
        if (url.size() + parte.size() > MaxEndereco) break;
        url += parte;
    }
    if (url.size() > MaxEndereco) url.resize(MaxEndereco);
    return url;
}

std::string MensagemNaoEncontrada(const std::string& busca) {
    return "Seq\xFC\xEAncia '" + busca + "' n\xE3o encontrada!";
}

} // namespace dorvan
