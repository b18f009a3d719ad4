#include "data/Ucomprim.h"

#include "data/Binario.h"
#include "platform/Arquivos.h"
#include "platform/Compressao.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dorvan {

namespace cmp = compressao;

namespace {

// Input is read from the file in large blocks and handed to the codec in the
// pieces it asks for.
constexpr std::size_t TAM_LEITURA = 1u << 18;

std::uint32_t AtualizaCRC(std::uint32_t crc, const char* p, std::size_t n) {
    while (n > 0) {
        unsigned parte = static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30));
        crc = cmp::crc32(p, &parte, &crc);
        p += parte;
        n -= parte;
    }
    return crc;
}

class ArquivoLido {
public:
    explicit ArquivoLido(const std::string& nome) : nome_(nome) {
        fd_ = ::open(nome.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) throw ErroES::DoSistema(nome, errno);
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            int e = errno;
            ::close(fd_);
            throw ErroES::DoSistema(nome, e);
        }
        if (!S_ISREG(st.st_mode)) {
            ::close(fd_);
            throw ErroES::DoSistema(nome, EISDIR);
        }
        tamanho_ = static_cast<std::uint64_t>(st.st_size);
    }
    ~ArquivoLido() { ::close(fd_); }
    ArquivoLido(const ArquivoLido&) = delete;
    ArquivoLido& operator=(const ArquivoLido&) = delete;
    int Fd() const { return fd_; }
    std::uint64_t Tamanho() const { return tamanho_; }

private:
    std::string nome_;
    int fd_ = -1;
    std::uint64_t tamanho_ = 0;
};

// The reading side shared by compression, expansion and scan: a file read forward
// from a position in large blocks, optionally checksummed as it is read.
struct Fonte {
    int fd = -1;
    const std::string* nome = nullptr;
    std::uint64_t pos = 0;   // next file position to read
    std::uint64_t total = 0; // file size, for progress
    std::vector<char> bloco;
    std::size_t inicio = 0, fim = 0; // unread part of bloco
    bool somaCRC = false;
    std::uint32_t crc = 0;
    Progresso* progresso = nullptr;
    const std::string* texto = nullptr;
    std::exception_ptr erro; // an error of the read, raised again after the codec returns

    unsigned Entrega(char* destino, unsigned pedido) {
        try {
            if (inicio == fim) {
                if (bloco.empty()) bloco.resize(TAM_LEITURA);
                fim = LeNaPosicao(fd, bloco.data(), bloco.size(), pos, *nome);
                inicio = 0;
                pos += fim;
                if (somaCRC) crc = AtualizaCRC(crc, bloco.data(), fim);
                if (progresso) progresso->Agora(pos, total, *texto);
                if (fim == 0) return 0;
            }
            unsigned n = static_cast<unsigned>(std::min<std::size_t>(pedido, fim - inicio));
            std::memcpy(destino, bloco.data() + inicio, n);
            inicio += n;
            return n;
        } catch (...) {
            erro = std::current_exception();
            return cmp::CMP_LEITURA_ABORTA;
        }
    }
};

unsigned LeFonte(char* buffer, unsigned* tamanho, void* param) {
    auto* f = static_cast<Fonte*>(param);
    return f->Entrega(buffer, *tamanho);
}

std::string NomeCurto(const std::string& caminho) { return DeUtf8(std::filesystem::path(caminho).filename().string()); }

// Reads the header of a DBF or DBC into its own buffer; throws on a file too short
// for the length its header gives.
std::vector<char> LeCabecalho(int fd, std::uint64_t tamanhoArquivo, const std::string& nome) {
    std::vector<char> cab = LeCabecalhoDBF(fd, tamanhoArquivo, nome);
    if (cab.empty())
        throw ErroES(nome, "cabe\xE7"
                           "alho DBF inv\xE1lido");
    return cab;
}

struct EstadoCompressao {
    Fonte fonte;
    GravacaoSegura* saida = nullptr;
    std::uint64_t bytes = 0; // compressed bytes written
};

unsigned LeCompressao(char* buffer, unsigned* tamanho, void* param) {
    return LeFonte(buffer, tamanho, &static_cast<EstadoCompressao*>(param)->fonte);
}
void GravaCompressao(char* buffer, unsigned* tamanho, void* param) {
    auto* e = static_cast<EstadoCompressao*>(param);
    e->saida->Escreve(std::string_view(buffer, *tamanho));
    e->bytes += *tamanho;
}

struct EstadoExpansao {
    Fonte fonte;
    GravacaoSegura* saida = nullptr; // null when only testing
    std::uint32_t crc = 0xFFFFFFFFu;
    std::uint64_t bytes = 0;
};

unsigned LeExpansao(char* buffer, unsigned* tamanho, void* param) {
    return LeFonte(buffer, tamanho, &static_cast<EstadoExpansao*>(param)->fonte);
}
void GravaExpansao(char* buffer, unsigned* tamanho, void* param) {
    auto* e = static_cast<EstadoExpansao*>(param);
    e->crc = AtualizaCRC(e->crc, buffer, *tamanho);
    e->bytes += *tamanho;
    if (e->saida) e->saida->Escreve(std::string_view(buffer, *tamanho));
}

} // namespace

std::string MensagemCodec(unsigned codigo) {
    switch (codigo) {
    case cmp::CMP_DICIONARIO_INVALIDO:
        return "Compr: DictSize n\xE3o v\xE1lido";
    case cmp::CMP_MODO_INVALIDO:
        return "Compr: Modo n\xE3o v\xE1lido";
    case cmp::CMP_DADOS_INVALIDOS:
        return "Compr: Dados inv\xE1lidos";
    case cmp::CMP_ABORTADO:
        return "Compr: abortado";
    default:
        return {};
    }
}

ResultadoCodec ComprimeDBF(const std::string& entrada, const std::string& saida, Progresso& progresso, bool avisa) {
    ResultadoCodec r;
    ArquivoLido in(entrada);
    r.bytesEntrada = in.Tamanho();
    std::vector<char> cab = LeCabecalho(in.Fd(), in.Tamanho(), entrada);
    r.numRegs = DecodificaCabecalhoDBF(cab.data()).NumRegs;

    const std::string nome = NomeCurto(entrada);
    const std::string texto = "Comprimindo " + nome;
    GravacaoSegura out(saida);
    out.Escreve(std::string_view(cab.data(), cab.size()));
    out.Escreve(std::string_view("\0\0\0\0", 4));

    EstadoCompressao e;
    e.fonte.fd = in.Fd();
    e.fonte.nome = &entrada;
    e.fonte.pos = cab.size();
    e.fonte.total = in.Tamanho();
    e.fonte.somaCRC = true;
    e.fonte.crc = AtualizaCRC(0xFFFFFFFFu, cab.data(), cab.size());
    e.fonte.progresso = &progresso;
    e.fonte.texto = &texto;
    e.saida = &out;
    progresso.Agora(cab.size(), in.Tamanho(), texto);

    auto trabalho = std::make_unique<char[]>(cmp::TAM_TRABALHO_IMPLODE);
    unsigned tipo = cmp::CMP_BINARIO, dicionario = 4096;
    r.codigo = cmp::implode(LeCompressao, GravaCompressao, trabalho.get(), &e, &tipo, &dicionario);
    if (e.fonte.erro) std::rethrow_exception(e.fonte.erro);
    r.bytesSaida = cab.size() + 4 + e.bytes;
    const CabecalhoDBF cabecalho = DecodificaCabecalhoDBF(cab.data());
    const std::uint64_t lidos = e.fonte.pos - cab.size();
    r.completo = lidos >= static_cast<std::uint64_t>(cabecalho.NumRegs) * static_cast<std::uint64_t>(cabecalho.TamRegistro);

    if (r.codigo != cmp::CMP_OK || !r.completo) {
        out.Abandona();
        if (avisa) MensagensAtuais().Mostra("Erro na compressao dos dados no arquivo " + nome + "!");
        return r;
    }
    const std::uint32_t crc = ~e.fonte.crc;
    const char bytesCRC[4] = {static_cast<char>(crc & 0xFF), static_cast<char>((crc >> 8) & 0xFF),
                              static_cast<char>((crc >> 16) & 0xFF), static_cast<char>((crc >> 24) & 0xFF)};
    if (std::fflush(out.Arquivo()) != 0 || std::fseek(out.Arquivo(), static_cast<long>(cab.size()), SEEK_SET) != 0)
        throw ErroES::DoSistema(saida, errno);
    out.Escreve(std::string_view(bytesCRC, 4));
    out.Confirma();
    return r;
}

ResultadoCodec ExpandeDBC(const std::string& entrada, const std::string& saida, Progresso& progresso, bool avisa) {
    ResultadoCodec r;
    ArquivoLido in(entrada);
    r.bytesEntrada = in.Tamanho();
    const std::string nome = NomeCurto(entrada);
    const std::string texto = "Expandindo " + nome;

    auto avisaFalhas = [&] {
        if (!avisa) return;
        if (!r.crcConfere) MensagensAtuais().Mostra("Erro de CRC no arquivo " + nome + ": expans\xE3o cancelada");
        if (r.codigo != cmp::CMP_OK) MensagensAtuais().Mostra("Erro na expans\xE3o do arquivo comprimido !");
    };

    // A file cut inside its header, however short, is a damaged DBC, not an unreadable one.
    const std::vector<char> cab = LeCabecalhoDBF(in.Fd(), in.Tamanho(), entrada);
    char guardado[4];
    if (cab.empty()) {
        r.codigo = cmp::CMP_DADOS_INVALIDOS;
        r.crcConfere = false;
        avisaFalhas();
        return r;
    }
    r.numRegs = DecodificaCabecalhoDBF(cab.data()).NumRegs;
    if (LeNaPosicao(in.Fd(), guardado, 4, cab.size(), entrada) < 4) {
        r.codigo = cmp::CMP_DADOS_INVALIDOS;
        r.crcConfere = false;
        avisaFalhas();
        return r;
    }

    std::unique_ptr<GravacaoSegura> out;
    if (!saida.empty()) {
        out = std::make_unique<GravacaoSegura>(saida);
        out->Escreve(std::string_view(cab.data(), cab.size()));
    }
    EstadoExpansao e;
    e.fonte.fd = in.Fd();
    e.fonte.nome = &entrada;
    e.fonte.pos = cab.size() + 4;
    e.fonte.total = in.Tamanho();
    e.fonte.progresso = &progresso;
    e.fonte.texto = &texto;
    e.saida = out.get();
    e.crc = AtualizaCRC(0xFFFFFFFFu, cab.data(), cab.size());
    progresso.Agora(e.fonte.pos, in.Tamanho(), texto);

    auto trabalho = std::make_unique<char[]>(cmp::TAM_TRABALHO_EXPLODE);
    r.codigo = cmp::explode(LeExpansao, GravaExpansao, trabalho.get(), &e);
    if (e.fonte.erro) std::rethrow_exception(e.fonte.erro);
    r.crcConfere = ~e.crc == Le32(guardado);
    r.bytesSaida = cab.size() + e.bytes;

    if (!r.Ok()) {
        if (out) out->Abandona();
        avisaFalhas();
        return r;
    }
    if (out) out->Confirma();
    return r;
}

namespace {

struct EstadoVarredura {
    Fonte fonte;
    bool checaCRC = false;
    std::uint32_t crc = 0xFFFFFFFFu;
    CortaRegistros* corta = nullptr;
};

unsigned LeVarredura(char* buffer, unsigned* tamanho, void* param) {
    return LeFonte(buffer, tamanho, &static_cast<EstadoVarredura*>(param)->fonte);
}
void GravaVarredura(char* buffer, unsigned* tamanho, void* param) {
    auto* e = static_cast<EstadoVarredura*>(param);
    if (e->checaCRC) e->crc = AtualizaCRC(e->crc, buffer, *tamanho);
    e->corta->Pedaco(buffer, *tamanho);
}

} // namespace

CortaRegistros::CortaRegistros(std::size_t tamRegistro, std::int64_t contados, std::function<void(char*)> entrega)
    : L_(std::max<std::size_t>(tamRegistro, 1)), entrega_(std::move(entrega)), resto_(L_), contados_(contados) {}

void CortaRegistros::Entrega(char* registro) {
    // A record of the count may well begin with 0x1A (a code field of binary
    // data): only past the count is that byte the end of the file.
    if (entregues_ >= contados_ && static_cast<unsigned char>(registro[0]) == 0x1A) {
        terminou_ = true;
        return;
    }
    ++entregues_;
    entrega_(registro);
}

// First the record completed by the head of this chunk, then the whole ones inside
// it; a tail begins the next pending record.
void CortaRegistros::Pedaco(char* p, std::size_t s) {
    if (terminou_) return;
    if (falta_ > 0) {
        std::size_t k = std::min(falta_, s);
        std::memcpy(resto_.data() + (L_ - falta_), p, k);
        falta_ -= k;
        p += k;
        s -= k;
        if (falta_ > 0) return;
        Entrega(resto_.data());
        if (terminou_) return;
    }
    while (s >= L_) {
        Entrega(p);
        if (terminou_) return;
        p += L_;
        s -= L_;
    }
    if (s > 0) {
        std::memcpy(resto_.data(), p, s);
        falta_ = L_ - s;
    }
}

bool ScanDBF(dbfRecord& h, const std::function<void(dbfRecord&)>& rotina, bool checaCRC) {
    const char ultimo = h.Nome.empty() ? '\0' : h.Nome.back();
    if (ultimo == 'F' || ultimo == 'f') {
        for (std::int64_t n = 1; n <= h.NumRegs; ++n) {
            readDBF(h, n);
            rotina(h);
        }
        return true;
    }
    if (ultimo != 'C' && ultimo != 'c') return false;
    if (h.Estado == 0 || h.Arquivo < 0) return false;

    Mensagens& msg = MensagensAtuais();
    const std::string nomeMsg = DeUtf8(h.Nome);
    std::int64_t numero = 0;
    CortaRegistros corta(h.TamRegistro, h.RegsNoCabecalho, [&](char* registro) {
        h.RegistroAtual = registro;
        h.NumRegAtual = ++numero;
        rotina(h);
    });
    EstadoVarredura e;
    e.checaCRC = checaCRC;
    e.corta = &corta;
    e.fonte.fd = h.Arquivo;
    e.fonte.nome = &h.Nome;

    // The header in its own buffer, whatever its length; then the stored CRC.
    std::vector<char> cab(static_cast<std::size_t>(h.TamCabecalho));
    char guardado[4];
    if (LeNaPosicao(h.Arquivo, cab.data(), cab.size(), 0, h.Nome) < cab.size() ||
        LeNaPosicao(h.Arquivo, guardado, 4, cab.size(), h.Nome) < 4) {
        msg.Mostra(MensagemCodec(cmp::CMP_DADOS_INVALIDOS));
        if (checaCRC) msg.Mostra("Erro de CRC em " + nomeMsg);
        return false;
    }
    e.crc = AtualizaCRC(e.crc, cab.data(), cab.size());
    e.fonte.pos = cab.size() + 4;

    auto trabalho = std::make_unique<char[]>(cmp::TAM_TRABALHO_EXPLODE);
    unsigned codigo = cmp::explode(LeVarredura, GravaVarredura, trabalho.get(), &e);
    if (e.fonte.erro) std::rethrow_exception(e.fonte.erro);
    h.RegistroAtual = nullptr;

    bool ok = true;
    if (codigo != cmp::CMP_OK) {
        msg.Mostra(MensagemCodec(codigo));
        ok = false;
    }
    if (checaCRC && ~e.crc != Le32(guardado)) {
        msg.Mostra("Erro de CRC em " + nomeMsg);
        ok = false;
    }
    return ok;
}

} // namespace dorvan
