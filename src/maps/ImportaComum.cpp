#include "maps/ImportaComum.h"

#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"

#include <climits>
#include <filesystem>
#include <utility>

namespace dorvan {

namespace {
EscolheNomeFn& EscolhedorGlobal() {
    static EscolheNomeFn f;
    return f;
}
} // namespace

void DefineEscolheNome(EscolheNomeFn f) { EscolhedorGlobal() = std::move(f); }

EscolhaCampos EscolheNome(const std::vector<std::string>& candidatos, EscolhaCampos padrao) {
    const EscolheNomeFn& f = EscolhedorGlobal();
    return f ? f(candidatos, padrao) : padrao;
}

EscolhaCampos PadraoDoisPrimeiros(std::size_t candidatos, bool nomePrimeiro) {
    const int segundo = candidatos > 1 ? 1 : 0;
    return nomePrimeiro ? EscolhaCampos{segundo, 0} : EscolhaCampos{0, segundo};
}

std::string NomeMapaSaida(const std::string& entrada) {
    std::filesystem::path p(entrada);
    p.replace_extension(".MAP");
    return p.string();
}

} // namespace dorvan

namespace dorvan::importa {

LinhasTexto::LinhasTexto(std::string nome) : nome_(std::move(nome)), dados_(LeArquivoInteiro(nome_)) {}

bool LinhasTexto::Le(std::string& linha) {
    if (devolvida_) {
        devolvida_ = false;
        pos_ = posAnterior_;
        --numero_;
    }
    if (pos_ >= dados_.size()) return false;
    posAnterior_ = pos_;
    std::size_t fim = dados_.find('\n', pos_);
    std::size_t proximo;
    if (fim == std::string::npos) {
        fim = dados_.size();
        proximo = fim;
    } else {
        proximo = fim + 1;
    }
    std::size_t corte = fim;
    if (corte > pos_ && dados_[corte - 1] == '\r') --corte;
    linha.assign(dados_, pos_, corte - pos_);
    pos_ = proximo;
    ++numero_;
    return true;
}

void LinhasTexto::Devolve() { devolvida_ = true; }

void LinhasTexto::Reinicia() {
    pos_ = posAnterior_ = 0;
    numero_ = 0;
    devolvida_ = false;
}

void LinhasTexto::Falha(const std::string& motivo) const {
    throw ErroES(nome_, "linha " + std::to_string(numero_) + ": " + motivo);
}

std::string LinhasTexto::Exige(const char* oQue) {
    std::string linha;
    if (!Le(linha)) {
        ++numero_;
        Falha(std::string("fim do arquivo onde se esperava ") + oQue);
    }
    return linha;
}

bool TextoInteiro(std::string_view s, long long& valor) {
    std::size_t i = 0, f = s.size();
    while (i < f && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    while (f > i && (s[f - 1] == ' ' || s[f - 1] == '\t'))
        --f;
    bool negativo = false;
    if (i < f && (s[i] == '-' || s[i] == '+')) negativo = s[i++] == '-';
    if (i == f) return false;
    long long v = 0;
    for (; i < f; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
        if (v > INT_MAX) return false; // the counts and identifiers are 32-bit
    }
    valor = negativo ? -v : v;
    return true;
}

long long InteiroOuZero(std::string_view s) {
    long long v = 0;
    return TextoInteiro(s, v) ? v : 0;
}

long long Inteiro(std::string_view s, const LinhasTexto& l) {
    long long v = 0;
    if (!TextoInteiro(s, v)) l.Falha("'" + std::string(s) + "' n\xE3o \xE9 um n\xFAmero inteiro v\xE1lido");
    return v;
}

float Coordenada(std::string_view s) { return static_cast<float>(LePrefixoNumerico(s)); }

PontoMapa PontoVirgula(const std::string& linha) {
    const std::size_t v = linha.find(',');
    if (v == std::string::npos) return {Coordenada(linha), 0};
    return {Coordenada(std::string_view(linha).substr(0, v)), Coordenada(std::string_view(linha).substr(v + 1))};
}

PontoMapa PontoBrancos(const std::string& linha) {
    std::string_view s(linha);
    auto pula = [&](std::size_t i) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        return i;
    };
    std::size_t i = pula(0);
    std::size_t f = i;
    while (f < s.size() && s[f] != ' ' && s[f] != '\t')
        ++f;
    PontoMapa p;
    p.X = Coordenada(s.substr(i, f - i));
    p.Y = Coordenada(s.substr(pula(f)));
    return p;
}

bool Acrescenta(RegistroMapa& r, PontoMapa p) {
    if (r.Pontos.size() >= static_cast<std::size_t>(MaxPontosMapa)) return false;
    r.Pontos.push_back(p);
    return true;
}

void TipoPelaContagem(RegistroMapa& r, std::uint8_t tipoProprio) {
    r.Tipo = r.Pontos.size() == 1 ? TipoPonto : tipoProprio;
}

void RotuloPelasRegras(RegistroMapa& r) {
    const std::size_t n = r.Pontos.size();
    if (n == 0) return;
    PontoMapa p;
    if (r.Tipo == TipoPonto)
        p = r.Pontos[0];
    else if (r.Tipo == TipoLinha)
        p = r.Pontos[n / 2 > 0 ? n / 2 - 1 : 0];
    else
        p = PontoInterno(r);
    r.RotuloX = p.X;
    r.RotuloY = p.Y;
}

void CortaTextos(RegistroMapa& r) {
    if (r.Codigo.size() > MaxCodigoMapa) r.Codigo.resize(MaxCodigoMapa);
    if (r.Nome.size() > MaxNomeMapa) r.Nome.resize(MaxNomeMapa);
}

std::vector<std::string> Campos(const std::string& linha, char separador) {
    std::vector<std::string> campos;
    std::size_t i = 0;
    for (;;) {
        const std::size_t v = linha.find(separador, i);
        campos.push_back(linha.substr(i, v == std::string::npos ? std::string::npos : v - i));
        if (v == std::string::npos) break;
        i = v + 1;
    }
    return campos;
}

std::string TiraAspas(std::string s) {
    if (!s.empty() && s.front() == '"') s.erase(0, 1);
    if (!s.empty() && s.back() == '"') s.pop_back();
    return s;
}

void AvisaTruncado(const std::string& nome, long long pontos) {
    MensagensAtuais().Mostra(nome + ": " + std::to_string(pontos) + " pontos, mantidos os primeiros " +
                             std::to_string(MaxPontosMapa));
}

std::string Companheiro(const std::string& arquivo, const std::string& extensao) {
    std::filesystem::path p(arquivo);
    p.replace_extension(extensao);
    const std::string achado = ResolveNome(p.string());
    return achado.empty() ? p.string() : achado;
}

EscolhaCampos Escolhe(const EscolheNomeFn& f, const std::vector<std::string>& candidatos, EscolhaCampos padrao) {
    return f ? f(candidatos, padrao) : EscolheNome(candidatos, padrao);
}

const std::string& Item(const std::vector<std::string>& v, int i) {
    static const std::string vazio;
    return i >= 0 && static_cast<std::size_t>(i) < v.size() ? v[static_cast<std::size_t>(i)] : vazio;
}

} // namespace dorvan::importa

namespace dorvan {

namespace {

// The importers by extension, with what the map window shows while each converts.
struct Importador {
    const char* Extensao;
    bool Legenda, Ampulheta;
    std::string (*Importa)(const std::string&, const EscolheNomeFn&);
};

const Importador Importadores[] = {
    {".BND", true, false, [](const std::string& a, const EscolheNomeFn&) { return ImportaBND(a); }},
    {".WPT", true, false, [](const std::string& a, const EscolheNomeFn&) { return ImportaWPT(a); }},
    {".XY", true, true, [](const std::string& a, const EscolheNomeFn&) { return ImportaXY(a); }},
    {".MME", false, true, [](const std::string& a, const EscolheNomeFn&) { return ImportaMME(a); }},
    {".BNA", true, true, ImportaBNA},
    {".MIF", true, true, ImportaMIF},
    {".E00", false, true, ImportaE00},
    {".SHP", false, true, ImportaSHP},
};

const Importador* ImportadorDe(const std::string& arquivo) {
    const std::string e = MaiusculasAscii(std::filesystem::path(arquivo).extension().string());
    for (const Importador& i : Importadores)
        if (e == i.Extensao) return &i;
    return nullptr;
}

} // namespace

bool MapaEstrangeiro(const std::string& arquivo) { return ImportadorDe(arquivo) != nullptr; }

SinaisImportacao SinaisDoImportador(const std::string& arquivo) {
    const Importador* i = ImportadorDe(arquivo);
    return i ? SinaisImportacao{i->Legenda, i->Ampulheta} : SinaisImportacao{};
}

std::string ImportaMapaEstrangeiro(const std::string& arquivo, const EscolheNomeFn& escolhe) {
    const Importador* i = ImportadorDe(arquivo);
    return i ? i->Importa(arquivo, escolhe) : arquivo;
}

} // namespace dorvan
