#include "data/LeDBF32.h"

#include "data/Binario.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace dorvan {

namespace {

// The name as messages carry it (1252 text).
std::string NomeMsg(const dbfRecord& h) { return DeUtf8(h.Nome); }

void Digitos(std::string& s, int valor, int largura) {
    std::string d(static_cast<std::size_t>(largura), '0');
    for (int i = largura - 1; i >= 0 && valor > 0; --i, valor /= 10)
        d[static_cast<std::size_t>(i)] = static_cast<char>('0' + valor % 10);
    s += d;
}

std::tm Hoje() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

void GravaEm(int fd, const void* origem, std::size_t n, std::uint64_t pos, const std::string& nome) {
    const char* p = static_cast<const char*>(origem);
    std::size_t feitos = 0;
    while (feitos < n) {
        ssize_t r = ::pwrite(fd, p + feitos, n - feitos, static_cast<off_t>(pos + feitos));
        if (r < 0) {
            if (errno == EINTR) continue;
            throw ErroES::DoSistema(nome, errno);
        }
        feitos += static_cast<std::size_t>(r);
    }
}

// Gives back everything the handle holds, without touching the file's contents.
void Libera(dbfRecord& h) {
    if (h.Substituicao) {
        // The temporary goes with its writer (which owns the descriptor); the old file stays.
        h.Substituicao.reset();
    } else if (h.Arquivo >= 0) {
        ::close(h.Arquivo);
    }
    h.Arquivo = -1;
    h.Estado = 0;
    h.Campos.clear();
    h.Campos.shrink_to_fit();
    h.Bloco.clear();
    h.Bloco.shrink_to_fit();
    h.Acrescimos.clear();
    h.Acrescimos.shrink_to_fit();
    h.BlocoAtual = -1;
    h.BytesNoBloco = 0;
    h.RegistroAtual = nullptr;
}

bool TerminaEmC(const std::string& nome) { return !nome.empty() && (nome.back() == 'c' || nome.back() == 'C'); }

void FalhaAbertura(dbfRecord& h, const std::string& motivo) {
    Libera(h);
    MensagensAtuais().Mostra("OpenDBF:" + NomeMsg(h) + motivo);
}

// Closes a handle that is being dropped or replaced, where nothing can report:
// the records appended so far were written by the last flush that succeeded.
void FechaCalado(dbfRecord& h) noexcept {
    if (h.Arquivo < 0) return;
    try {
        // A replacement never finished is abandoned: the old file is kept.
        if (h.Estado == 3 && !h.Substituicao) CloseDBF(h);
    } catch (...) {
    }
    Libera(h);
}

} // namespace

std::string DataDeHoje() {
    std::tm tm = Hoje();
    std::string s;
    Digitos(s, tm.tm_year + 1900, 4);
    Digitos(s, tm.tm_mon + 1, 2);
    Digitos(s, tm.tm_mday, 2);
    return s;
}

dbfRecord::~dbfRecord() { FechaCalado(*this); }

dbfRecord::dbfRecord(dbfRecord&& o) noexcept { *this = std::move(o); }

dbfRecord& dbfRecord::operator=(dbfRecord&& o) noexcept {
    if (this == &o) return *this;
    FechaCalado(*this);
    Nome = std::move(o.Nome);
    Estado = o.Estado;
    ComMemo = o.ComMemo;
    Data = std::move(o.Data);
    NumRegs = o.NumRegs;
    RegsNoCabecalho = o.RegsNoCabecalho;
    TamCabecalho = o.TamCabecalho;
    TamRegistro = o.TamRegistro;
    NumCampos = o.NumCampos;
    Campos = std::move(o.Campos);
    Idioma = o.Idioma;
    Bloco = std::move(o.Bloco);
    RegistroAtual = o.RegistroAtual;
    NumRegAtual = o.NumRegAtual;
    BlocoAtual = o.BlocoAtual;
    BytesNoBloco = o.BytesNoBloco;
    Arquivo = o.Arquivo;
    SomenteLeitura = o.SomenteLeitura;
    Acrescimos = std::move(o.Acrescimos);
    RegsGravados = o.RegsGravados;
    Substituicao = std::move(o.Substituicao);
    o.Arquivo = -1;
    o.Estado = 0;
    o.RegistroAtual = nullptr;
    o.BlocoAtual = -1;
    return *this;
}

void OpenDBF(dbfRecord& h, const std::string& nome, bool somenteLeitura) {
    if (h.Arquivo >= 0) {
        if (h.Estado == 3) CloseDBF(h);
        Libera(h);
    }
    h = dbfRecord();
    h.Nome = nome;

    // Data files come from systems that ignore the case of names.
    std::string real = nome;
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0) {
        std::string achado = ResolveNome(nome);
        if (!achado.empty()) real = achado;
    }
    int fd = -1;
    bool soLeitura = somenteLeitura;
    if (!soLeitura) {
        fd = ::open(real.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM || errno == ETXTBSY)) soLeitura = true;
    }
    if (fd < 0 && soLeitura) fd = ::open(real.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            FalhaAbertura(h, " Arquivo n\xE3o encontrado!");
        else
            FalhaAbertura(h, " Acesso negado!");
        return;
    }
    h.Arquivo = fd;
    h.SomenteLeitura = soLeitura;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        FalhaAbertura(h, " Acesso negado!");
        return;
    }
    const std::uint64_t tamArquivo = static_cast<std::uint64_t>(st.st_size);

    // The whole header in its own buffer, whatever its length.
    const std::vector<char> cabecalho = LeCabecalhoDBF(fd, tamArquivo, nome);
    const CabecalhoDBF cab = cabecalho.empty() ? CabecalhoDBF{} : DecodificaCabecalhoDBF(cabecalho.data());
    const int tamCab = cab.TamCabecalho;
    const int tamReg = cab.TamRegistro;
    if (tamCab < 33 || tamReg == 0) {
        FalhaAbertura(h, " Cabe\xE7"
                         "alho inv\xE1lido!");
        return;
    }

    // The descriptors end at the 0x0D terminator: writers that leave room after it
    // (version 0x30 always does, 263 bytes) would otherwise show phantom fields.
    int numCampos = std::max((tamCab - 1) / 32 - 1, 0);
    bool terminador = false;
    for (int i = 0; i < numCampos; ++i) {
        if (static_cast<unsigned char>(cabecalho[static_cast<std::size_t>(32 + 32 * i)]) == 0x0D) {
            numCampos = i;
            terminador = true;
            break;
        }
    }
    if (!terminador && cab.Versao == 0x30) numCampos = std::max((tamCab - 264) / 32 - 1, 0);

    std::vector<CampoDBF> campos;
    campos.reserve(static_cast<std::size_t>(numCampos));
    std::vector<std::string> vazios;
    int deslocamento = 1;
    for (int i = 0; i < numCampos; ++i) {
        const char* d = cabecalho.data() + 32 + 32 * i;
        CampoDBF c;
        std::size_t n = 0;
        while (n < 10 && d[n] != 0)
            ++n;
        c.Nome.assign(d, n);
        c.Tipo = d[11];
        c.Tamanho = static_cast<std::uint8_t>(d[16]);
        c.Decimais = static_cast<std::uint8_t>(d[17]);
        if (deslocamento + c.Tamanho > tamReg) {
            FalhaAbertura(h, " Cabe\xE7"
                             "alho inv\xE1lido!");
            return;
        }
        if (c.Tamanho == 0) {
            vazios.push_back(c.Nome);
            continue;
        }
        c.Deslocamento = static_cast<std::uint16_t>(deslocamento);
        deslocamento += c.Tamanho;
        campos.push_back(std::move(c));
    }
    numCampos = static_cast<int>(campos.size());

    h.Estado = 1;
    h.ComMemo = cab.Versao == 0x83;
    h.Data.clear();
    Digitos(h.Data, cab.Ano <= 50 ? 2000 + cab.Ano : 1900 + cab.Ano, 4);
    Digitos(h.Data, cab.Mes, 2);
    Digitos(h.Data, cab.Dia, 2);
    h.NumRegs = cab.NumRegs;
    h.RegsNoCabecalho = cab.NumRegs;
    h.TamCabecalho = tamCab;
    h.TamRegistro = static_cast<std::uint16_t>(tamReg);
    h.Idioma = cab.Idioma;
    h.NumCampos = numCampos;
    h.Campos = std::move(campos);
    h.BlocoAtual = -1;
    // A DBF holds no more records than its bytes do (a DBC's records are compressed).
    if (!TerminaEmC(nome)) {
        std::int64_t inteiros = static_cast<std::int64_t>((tamArquivo - static_cast<std::uint64_t>(tamCab)) /
                                                          static_cast<std::uint64_t>(tamReg));
        if (h.NumRegs > inteiros) h.NumRegs = inteiros;
    }
    h.RegsGravados = h.NumRegs;
    for (const std::string& campo : vazios)
        MensagensAtuais().Mostra("OpenDBF:" + NomeMsg(h) + " Campo " + campo + " de tamanho zero ignorado!");
}

CabecalhoDBF DecodificaCabecalhoDBF(const char* primeiros32) {
    CabecalhoDBFDisco d;
    std::memcpy(&d, primeiros32, sizeof d);
    CabecalhoDBF c;
    c.Versao = d.versao;
    c.Ano = d.ano;
    c.Mes = d.mes;
    c.Dia = d.dia;
    c.NumRegs = Le32(d.numRegs);
    c.TamCabecalho = Le16(d.tamCabecalho);
    c.TamRegistro = Le16(d.tamRegistro);
    c.Idioma = d.idioma;
    return c;
}

std::vector<char> LeCabecalhoDBF(int fd, std::uint64_t tamanhoArquivo, const std::string& nome) {
    char primeiros[32];
    if (LeNaPosicao(fd, primeiros, 32, 0, nome) < 32) return {};
    const std::size_t tam = Le16(primeiros + 8);
    if (tam < 32 || tam > tamanhoArquivo) return {};
    std::vector<char> cab(tam);
    if (LeNaPosicao(fd, cab.data(), tam, 0, nome) < tam) return {};
    return cab;
}

void ExigeTodosOsRegistros(const dbfRecord& h) {
    if (h.NumRegs < h.RegsNoCabecalho)
        throw ErroES(h.Nome, "arquivo incompleto: " + std::to_string(h.NumRegs) + " de " +
                                 std::to_string(h.RegsNoCabecalho) + " registros");
}

void DescarregaDBF(dbfRecord& h) {
    if (h.Acrescimos.empty() || h.Arquivo < 0) return;
    h.Acrescimos.push_back('\x1A');
    const std::uint64_t pos =
        static_cast<std::uint64_t>(h.TamCabecalho) + static_cast<std::uint64_t>(h.RegsGravados) * h.TamRegistro;
    try {
        GravaEm(h.Arquivo, h.Acrescimos.data(), h.Acrescimos.size(), pos, h.Nome);
    } catch (...) {
        // The end byte must not stay among the pending records: a later flush would
        // write it between two records and shift every record after it.
        h.Acrescimos.pop_back();
        throw;
    }
    h.Acrescimos.clear();
    h.RegsGravados = h.NumRegs;
    unsigned char n[4];
    Poe32(n, static_cast<std::uint32_t>(h.NumRegs));
    GravaEm(h.Arquivo, n, 4, 4, h.Nome);
}

void AbandonaDBF(dbfRecord& h) {
    if (h.Substituicao) {
        h.Arquivo = -1; // closed by the writer
        h.Substituicao->Abandona();
    }
    Libera(h);
}

void CloseDBF(dbfRecord& h) {
    if (h.Estado == 0) throw ErroFatal("CloseDBF:" + NomeMsg(h) + " n\xE3o aberto!");
    try {
        if (h.Estado == 3) {
            DescarregaDBF(h);
            const char fim = 0x1A;
            GravaEm(h.Arquivo, &fim, 1,
                    static_cast<std::uint64_t>(h.TamCabecalho) + static_cast<std::uint64_t>(h.NumRegs) * h.TamRegistro,
                    h.Nome);
            unsigned char n[4];
            Poe32(n, static_cast<std::uint32_t>(h.NumRegs));
            GravaEm(h.Arquivo, n, 4, 4, h.Nome);
            std::tm tm = Hoje();
            unsigned char data[3] = {static_cast<unsigned char>(tm.tm_year % 100),
                                     static_cast<unsigned char>(tm.tm_mon + 1), static_cast<unsigned char>(tm.tm_mday)};
            GravaEm(h.Arquivo, data, 3, 1, h.Nome);
        }
    } catch (...) {
        Libera(h);
        throw;
    }
    if (h.Substituicao) {
        std::unique_ptr<GravacaoSegura> substituicao = std::move(h.Substituicao);
        h.Arquivo = -1; // closed by the writer
        Libera(h);
        substituicao->Confirma();
        return;
    }
    int fd = h.Arquivo;
    h.Arquivo = -1;
    Libera(h);
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) throw ErroES::DoSistema(h.Nome, errno);
}

void readDBF(dbfRecord& h, std::int64_t n) {
    if (h.Estado == 0) throw ErroFatal("readDBF:" + NomeMsg(h) + " n\xE3o aberto!");
    if (n < 1 || n > h.NumRegs)
        throw ErroFatal("readDBF:" + NomeMsg(h) + " N\xFAmero de Reg inv\xE1lido = " + std::to_string(n));
    if (!h.Acrescimos.empty()) DescarregaDBF(h);
    const std::size_t L = h.TamRegistro;
    const std::int64_t k = static_cast<std::int64_t>(std::max<std::size_t>(1, TAM_BLOCO_DBF / L));
    const std::int64_t bloco = (n - 1) / k;
    const std::size_t dentro = static_cast<std::size_t>((n - 1) % k) * L;
    if (bloco != h.BlocoAtual) {
        const std::size_t tam = static_cast<std::size_t>(k) * L;
        if (h.Bloco.size() < tam) h.Bloco.resize(tam);
        h.BlocoAtual = -1;
        h.BytesNoBloco =
            LeNaPosicao(h.Arquivo, h.Bloco.data(), tam,
                        static_cast<std::uint64_t>(h.TamCabecalho) + static_cast<std::uint64_t>(bloco) * tam, h.Nome);
        h.BlocoAtual = bloco;
    }
    if (dentro + L > h.BytesNoBloco)
        throw ErroES(h.Nome, "registro " + std::to_string(n) + " al\xE9m do fim do arquivo");
    h.RegistroAtual = h.Bloco.data() + dentro;
    h.NumRegAtual = n;
}

int FieldDBF(const dbfRecord& h, std::string_view nome) {
    auto dobra = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    int achado = 0;
    for (int i = 1; i <= h.NumCampos; ++i) {
        const std::string& n = h.Campo(i).Nome;
        if (n.size() != nome.size()) continue;
        bool igual = true;
        for (std::size_t j = 0; j < n.size() && igual; ++j)
            igual = dobra(n[j]) == dobra(nome[j]);
        if (igual) achado = i;
    }
    return achado;
}

std::string GetFieldDBF(const dbfRecord& h, int i) { return std::string(VistaCampoDBF(h, i)); }

void PutFieldDBF(const dbfRecord& h, int i, std::string_view valor, char* registro) {
    if (i < 1 || i > h.NumCampos) return;
    const CampoDBF& c = h.Campo(i);
    char* destino = registro + c.Deslocamento;
    const std::size_t largura = c.Tamanho;
    std::memset(destino, ' ', largura);
    if (c.Tipo == 'N') {
        auto branco = [](char ch) { return static_cast<unsigned char>(ch) <= 0x20; };
        while (!valor.empty() && branco(valor.front()))
            valor.remove_prefix(1);
        while (!valor.empty() && branco(valor.back()))
            valor.remove_suffix(1);
        if (valor.size() > largura) {
            // A number cut to its first digits would be a wrong number: mark the overflow.
            std::memset(destino, '*', largura);
            return;
        }
        if (!valor.empty()) std::memcpy(destino + (largura - valor.size()), valor.data(), valor.size());
    } else if (!valor.empty()) {
        std::memcpy(destino, valor.data(), std::min(largura, valor.size()));
    }
}

void AppendDBF(dbfRecord& h, const char* registro) {
    if (h.Estado == 0) throw ErroFatal("AppendDBF:" + NomeMsg(h) + " n\xE3o aberto!");
    if (h.NumRegs >= 0xFFFFFFFFLL) throw ErroES(h.Nome, "n\xFAmero de registros excede o limite do arquivo");
    // Say so at the append, not later when the buffered records are written.
    if (h.SomenteLeitura) throw ErroES(h.Nome, "arquivo aberto somente para leitura");
    h.Acrescimos.insert(h.Acrescimos.end(), registro, registro + h.TamRegistro);
    ++h.NumRegs;
    h.Estado = 3;
    h.BlocoAtual = -1;
    if (h.Acrescimos.size() >= TAM_BUFFER_ACRESCIMO) DescarregaDBF(h);
}

void CreateDBF(dbfRecord& h, const std::string& nome, const std::vector<CampoDBF>& campos, std::uint8_t idioma) {
    if (h.Arquivo >= 0) {
        if (h.Estado == 3) CloseDBF(h);
        Libera(h);
    }
    h = dbfRecord();
    h.Nome = nome;
    const std::string falha = "CreateDBF:" + NomeMsg(h) + " n\xE3o realizado!";

    std::size_t tamCab = campos.size() * 32 + 33;
    std::size_t tamReg = 1;
    for (const CampoDBF& c : campos)
        tamReg += c.Tamanho;
    // The header keeps both lengths in 16 bits.
    if (tamCab > 0xFFFF || tamReg > 0xFFFF) throw ErroFatal(falha);

    // The new file takes its name only when complete, at CloseDBF; whatever is
    // there now stays until then. A read-only file is refused.
    int fd = -1;
    try {
        h.Substituicao = std::make_unique<GravacaoSegura>(nome);
    } catch (const ErroES&) {
        throw ErroFatal(falha);
    }
    fd = fileno(h.Substituicao->Arquivo());
    if (fd < 0) throw ErroFatal(falha);
    h.Arquivo = fd;

    std::vector<unsigned char> cab(tamCab, 0);
    std::tm tm = Hoje();
    cab[0] = 0x03;
    cab[1] = static_cast<unsigned char>(tm.tm_year % 100);
    cab[2] = static_cast<unsigned char>(tm.tm_mon + 1);
    cab[3] = static_cast<unsigned char>(tm.tm_mday);
    Poe16(cab.data() + 8, static_cast<unsigned>(tamCab));
    Poe16(cab.data() + 10, static_cast<unsigned>(tamReg));
    cab[29] = idioma;
    h.Campos = campos;
    int deslocamento = 1;
    for (std::size_t i = 0; i < campos.size(); ++i) {
        CampoDBF& c = h.Campos[i];
        if (c.Nome.size() > 10) c.Nome.resize(10);
        c.Deslocamento = static_cast<std::uint16_t>(deslocamento);
        deslocamento += c.Tamanho;
        unsigned char* d = cab.data() + 32 + 32 * i;
        std::memcpy(d, c.Nome.data(), c.Nome.size());
        d[11] = static_cast<unsigned char>(c.Tipo);
        d[16] = c.Tamanho;
        d[17] = c.Decimais;
    }
    cab[tamCab - 1] = 0x0D;
    try {
        GravaEm(fd, cab.data(), cab.size(), 0, nome);
    } catch (...) {
        Libera(h);
        throw;
    }

    h.Estado = 3;
    h.ComMemo = false;
    h.Data = DataDeHoje();
    h.NumRegs = 0;
    h.RegsGravados = 0;
    h.TamCabecalho = static_cast<int>(tamCab);
    h.TamRegistro = static_cast<std::uint16_t>(tamReg);
    h.NumCampos = static_cast<int>(campos.size());
    h.Idioma = idioma;
    h.RegistroAtual = nullptr;
    h.NumRegAtual = 0;
    h.BlocoAtual = -1;
}

} // namespace dorvan
