#include "support/ApoioTeste.h"

#include "platform/db/BancoDados.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <algorithm>
#include <csignal>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dorvan::teste {

PastaTemporaria::PastaTemporaria() {
    std::string modelo = (std::filesystem::temp_directory_path() / "dorvan-teste-XXXXXX").string();
    if (!mkdtemp(modelo.data())) throw std::runtime_error("mkdtemp falhou");
    caminho_ = modelo;
}

PastaTemporaria::~PastaTemporaria() {
    std::error_code ec;
    std::filesystem::remove_all(caminho_, ec);
}

std::string PastaTemporaria::Grava(std::string_view nome, std::string_view bytes) const {
    std::filesystem::path p = caminho_ / nome;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream f(p, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p.string();
}

std::string PastaTemporaria::Le(std::string_view nome) const {
    std::ifstream f(caminho_ / nome, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

DiscoPequeno::DiscoPequeno(std::size_t bytes) {
    if (::geteuid() != 0) return;
    const std::string opcoes = "size=" + std::to_string(bytes) + ",mode=0777";
    montado_ = ::mount("tmpfs", pasta_.Caminho().c_str(), "tmpfs", 0, opcoes.c_str()) == 0;
}

DiscoPequeno::~DiscoPequeno() {
    if (montado_) ::umount2(pasta_.Caminho().c_str(), MNT_DETACH);
}

std::vector<std::string> DiscoPequeno::Nomes() const {
    std::vector<std::string> n;
    for (const auto& e : std::filesystem::directory_iterator(pasta_.Caminho()))
        n.push_back(e.path().filename().string());
    std::sort(n.begin(), n.end());
    return n;
}

bool MataDuranteTrabalho(const std::function<void(int avisa)>& trabalho, std::size_t marca) {
    int canal[2];
    if (::pipe(canal) != 0) return false;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(canal[0]);
        try {
            trabalho(canal[1]);
        } catch (...) {
        }
        ::_exit(0);
    }
    ::close(canal[1]);
    std::size_t lidos = 0;
    char c[256];
    while (lidos < marca) {
        const ssize_t n = ::read(canal[0], c, sizeof c);
        if (n <= 0) break;
        lidos += static_cast<std::size_t>(n);
    }
    const bool aTempo = lidos >= marca;
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(canal[0]);
    return aTempo && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

int Executa(const std::string& comando, std::string* saida) {
    FILE* p = popen(comando.c_str(), "r");
    if (!p) return -1;
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int st = pclose(p);
    if (saida) *saida = out;
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::vector<PalavraPDF> PalavrasPDF(const std::string& pdf, double* larguraPagina, double* alturaPagina) {
    std::string html;
    Executa("pdftotext -bbox '" + pdf + "' -", &html);
    std::smatch m;
    if (std::regex_search(html, m, std::regex(R"x(<page width="([0-9.]+)" height="([0-9.]+)")x"))) {
        if (larguraPagina) *larguraPagina = std::stod(m[1]);
        if (alturaPagina) *alturaPagina = std::stod(m[2]);
    }
    std::vector<PalavraPDF> r;
    const std::regex palavra(
        R"x(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)x");
    for (auto i = std::sregex_iterator(html.begin(), html.end(), palavra); i != std::sregex_iterator(); ++i)
        r.push_back({(*i)[5], std::stod((*i)[1]), std::stod((*i)[2]), std::stod((*i)[3]), std::stod((*i)[4])});
    return r;
}

bool TemPostgreSQL() {
    const char* host = std::getenv("PGHOST");
    return host && *host;
}

Alias AliasPostgreSQL(const std::string& nome, const std::string& esquema) {
    auto env = [](const char* n) { return std::string(std::getenv(n) ? std::getenv(n) : ""); };
    return {nome,
            "POSTGRESQL",
            env("PGDATABASE").empty() ? "postgres" : env("PGDATABASE"),
            env("PGHOST"),
            env("PGPORT").empty() ? 0 : std::atoi(env("PGPORT").c_str()),
            env("PGUSER"),
            "options=-csearch_path=" + esquema};
}

int ExecutaPsql(const std::string& arquivo, std::string* saida, bool pararNoErro) {
    static int contador = 0;
    const std::string esquema = "dorvan_psql" + std::to_string(getpid()) + "_" + std::to_string(++contador);
    const std::string psql = "psql -X -q -A -t ";
    if (Executa(psql + "-c 'CREATE SCHEMA " + esquema + "' 2>&1") != 0) return -1;
    const int r = Executa("PGOPTIONS='-csearch_path=" + esquema + "' " + psql +
                              (pararNoErro ? "-v ON_ERROR_STOP=1 " : "") + "-f '" + arquivo + "' 2>/dev/null",
                          saida);
    Executa(psql + "-c 'DROP SCHEMA " + esquema + " CASCADE' 2>&1");
    return r;
}

void GaranteAplicacao() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char nome[] = "dorvan_teste";
    static char* argv[] = {nome, nullptr};
    static QCoreApplication app(argc, argv);
}

} // namespace dorvan::teste
