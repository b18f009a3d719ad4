#include "output/SaidaTexto.h"

#include "platform/Numeros.h"
#include "platform/Texto1252.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace dorvan {

namespace {
// Lines are gathered and written in pieces of this size.
constexpr std::size_t TamBuffer = 1u << 20;
} // namespace

SaidaTexto::SaidaTexto(const std::string& arquivo) : arquivo_(std::make_unique<GravacaoSegura>(arquivo)) {
    buffer_.reserve(TamBuffer + 4096);
}

SaidaTexto::~SaidaTexto() = default;

void SaidaTexto::Escreve(std::string_view texto) {
    Acrescenta(texto);
    if (buffer_.size() >= TamBuffer) Descarrega();
}

void SaidaTexto::Linha(std::string_view texto) {
    Acrescenta(texto);
    buffer_.append("\r\n");
    if (buffer_.size() >= TamBuffer) Descarrega();
}

void SaidaTexto::Acrescenta(std::string_view texto) {
    // A NUL ends the text for many readers (sqlite3 stops there): it goes out as a blank.
    const std::size_t antes = buffer_.size();
    buffer_.append(texto);
    std::replace(buffer_.begin() + static_cast<std::ptrdiff_t>(antes), buffer_.end(), '\0', ' ');
}

void SaidaTexto::Descarrega() {
    arquivo_->Escreve(buffer_);
    buffer_.clear();
}

void SaidaTexto::Fim() {
    Descarrega();
    arquivo_->Confirma();
}

std::string NumeroPlano(double valor, int decimais, std::string_view ausente) {
    if (!std::isfinite(valor)) return std::string(ausente);
    return NumeroMaquina(valor, decimais < 0 ? 0 : decimais);
}

std::string NumeroFixoLocal(double valor, int decimais, int digitos, std::string_view marca) {
    if (!std::isfinite(valor)) return {};
    if (decimais < 0) decimais = 0;
    std::string s = ArredondaDecimal(valor, decimais);
    std::size_t ponto = s.find('.');
    std::size_t inteiros = (ponto == std::string::npos ? s.size() : ponto) - (s[0] == '-' ? 1 : 0);
    if (static_cast<int>(inteiros) > digitos) {
        char buf[64];
        // A double holds 15 significant decimal digits for sure; more would print noise.
        auto r =
            std::to_chars(buf, buf + sizeof buf, valor, std::chars_format::scientific, std::clamp(digitos, 1, 15) - 1);
        s.assign(buf, r.ptr);
        for (char& c : s)
            if (c == 'e') c = 'E';
        ponto = s.find('.');
    }
    if (ponto != std::string::npos) s.replace(ponto, 1, marca);
    return s;
}

std::string MarcaDecimalLocal() {
    QString m = QLocale().decimalPoint();
    return m.isEmpty() ? std::string(".") : DeQString(m);
}

std::string CodigoDoRotulo(const TabelaResultados& t, const std::string& rotulo) {
    return rotulo.substr(0, std::min<std::size_t>(rotulo.size(), static_cast<std::size_t>(t.TamCodigo)));
}

std::string NomeDoRotulo(const TabelaResultados& t, const std::string& rotulo) {
    std::size_t inicio = static_cast<std::size_t>(t.TamCodigo) + 1;
    return inicio < rotulo.size() ? rotulo.substr(inicio) : std::string();
}

std::string SemCaractere(std::string_view s, char c) {
    std::string r;
    r.reserve(s.size());
    for (char x : s)
        if (x != c) r += x;
    return r;
}

std::string UmaLinha(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return r;
}

std::string EntreAspas(std::string_view s) { return "\"" + SemCaractere(UmaLinha(s), '"') + "\""; }

std::string Identificador(std::string_view titulo, char antesDeDigito, std::size_t maximo, std::string_view padrao) {
    std::string r(titulo);
    for (char& c : r)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')) c = '_';
    if (r.empty()) r = padrao;
    if (!r.empty() && r[0] >= '0' && r[0] <= '9') r.insert(r.begin(), antesDeDigito);
    if (r.size() > maximo) r.resize(maximo);
    return r;
}

std::string NomeUnico(const std::string& nome, std::size_t maximo, std::string (*sufixo)(std::int32_t),
                      const std::function<bool(const std::string&)>& toma) {
    if (toma(nome)) return nome;
    for (std::int32_t k = 2;; ++k) {
        const std::string s = sufixo(k);
        std::string candidato = nome.substr(0, maximo > s.size() ? maximo - s.size() : 0) + s;
        if (toma(candidato)) return candidato;
    }
}

std::string SufixoNumerico(std::int32_t k) { return "_" + std::to_string(k); }

} // namespace dorvan
