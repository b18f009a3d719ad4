#include "platform/Numeros.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace dorvan {

namespace {

// Shortest round-trip text of |valor| in fixed notation: digits and at most one '.'.
std::string DigitosFixos(double valor) {
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(valor), std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

// from_chars also takes "inf", "nan" and "infinity"; no file of ours holds those as numbers.
bool ComecaNumero(std::string_view t, size_t i) {
    if (i < t.size() && t[i] == '-') ++i;
    return i < t.size() && ((t[i] >= '0' && t[i] <= '9') || t[i] == '.');
}

bool SoZeros(const std::string& s) {
    for (char c : s)
        if (c != '0' && c != '.') return false;
    return true;
}

} // namespace

void ArredondaDigitos(std::string& inteira, std::string& fracao, std::size_t decimais) {
    bool sobe = false;
    if (fracao.size() > decimais) {
        sobe = fracao[decimais] >= '5';
        fracao.resize(decimais);
    } else {
        fracao.append(decimais - fracao.size(), '0');
    }
    if (!sobe) return;
    std::string digitos = inteira + fracao;
    std::size_t k = digitos.size();
    while (k > 0 && digitos[k - 1] == '9')
        digitos[--k] = '0';
    if (k == 0)
        digitos.insert(digitos.begin(), '1');
    else
        ++digitos[k - 1];
    inteira = digitos.substr(0, digitos.size() - decimais);
    fracao = digitos.substr(digitos.size() - decimais);
}

std::string ArredondaDecimal(double valor, int decimais) {
    // A typed "1000000000" decimals must not ask for a gigabyte of zeros.
    if (decimais > kMaxDecimais) decimais = kMaxDecimais;
    if (!std::isfinite(valor)) return decimais > 0 ? "0." + std::string(static_cast<size_t>(decimais), '0') : "0";
    if (decimais < 0) decimais = 0;
    // Whole numbers (counts, most cells) need no rounding: their digits, and zeros.
    if (valor == std::trunc(valor) && std::fabs(valor) < 1e15) {
        const auto inteiro = static_cast<long long>(valor); // -0 becomes 0
        char buf[24];
        std::string res(buf, std::to_chars(buf, buf + sizeof buf, inteiro).ptr);
        if (decimais > 0) {
            res += '.';
            res.append(static_cast<size_t>(decimais), '0');
        }
        return res;
    }
    std::string d = DigitosFixos(valor);
    size_t ponto = d.find('.');
    std::string inteira = ponto == std::string::npos ? d : d.substr(0, ponto);
    std::string frac = ponto == std::string::npos ? std::string() : d.substr(ponto + 1);
    ArredondaDigitos(inteira, frac, static_cast<size_t>(decimais));
    std::string res = inteira;
    if (decimais > 0) res += "." + frac;
    if (valor < 0 && !SoZeros(res)) res.insert(res.begin(), '-');
    return res;
}

std::string NumeroMaquina(double valor, int decimais) { return ArredondaDecimal(valor, decimais); }

void AcrescentaNumero(std::string& destino, double valor, int decimais, char marca) {
    decimais = std::clamp(decimais, 0, kMaxDecimais);
    if (std::isfinite(valor) && valor == std::trunc(valor) && std::fabs(valor) < 1e15) {
        char buf[24];
        const char* fim = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(valor)).ptr;
        destino.append(buf, static_cast<size_t>(fim - buf));
        if (decimais > 0) {
            destino += marca;
            destino.append(static_cast<size_t>(decimais), '0');
        }
        return;
    }
    std::string s = ArredondaDecimal(valor, decimais);
    if (marca != '.') std::replace(s.begin(), s.end(), '.', marca);
    destino += s;
}

std::string NumeroVirgula(double valor, int decimais) {
    std::string s = ArredondaDecimal(valor, decimais);
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

std::string NumeroCurto(double valor) {
    if (!std::isfinite(valor)) return "0";
    if (valor == 0) return "0";
    std::string s = DigitosFixos(valor);
    return valor < 0 ? "-" + s : s;
}

QString NumeroUsuario(double valor, int decimais) {
    // Round our own way first, then let the locale group and mark the digits.
    std::string s = ArredondaDecimal(valor, decimais < 0 ? 0 : decimais);
    bool negativo = !s.empty() && s[0] == '-';
    if (negativo) s.erase(0, 1);
    size_t ponto = s.find('.');
    std::string inteira = ponto == std::string::npos ? s : s.substr(0, ponto);
    QLocale loc;
    QString grupo = loc.groupSeparator();
    QString out;
    int n = static_cast<int>(inteira.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0 && !(loc.numberOptions() & QLocale::OmitGroupSeparator)) out += grupo;
        out += QChar(inteira[static_cast<size_t>(i)]);
    }
    if (ponto != std::string::npos) out += loc.decimalPoint() + QString::fromLatin1(s.substr(ponto + 1));
    if (negativo) out.prepend(loc.negativeSign());
    return out;
}

std::optional<double> LeNumeroMaquina(std::string_view texto) {
    size_t i = 0, f = texto.size();
    while (i < f && (texto[i] == ' ' || texto[i] == '\t')) ++i;
    while (f > i && (texto[f - 1] == ' ' || texto[f - 1] == '\t' || texto[f - 1] == '\r' || texto[f - 1] == '\n')) --f;
    if (i < f && texto[i] == '+' && i + 1 < f && texto[i + 1] != '-') ++i;
    if (i >= f || !ComecaNumero(texto.substr(0, f), i)) return std::nullopt;
    double v = 0;
    auto r = std::from_chars(texto.data() + i, texto.data() + f, v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != texto.data() + f) return std::nullopt;
    if (v == 0) v = 0; // no -0
    return v;
}

double LePrefixoNumerico(std::string_view texto) {
    size_t i = 0;
    while (i < texto.size() && texto[i] == ' ') ++i;
    if (i < texto.size() && texto[i] == '+' && i + 1 < texto.size() && texto[i + 1] != '-') ++i;
    if (!ComecaNumero(texto, i)) return 0;
    double v = 0;
    auto r = std::from_chars(texto.data() + i, texto.data() + texto.size(), v, std::chars_format::general);
    if (r.ec != std::errc()) return 0;
    return v == 0 ? 0 : v;
}

} // namespace dorvan
