#include "output/XLSWrite.h"

#include "output/GravaDBF.h"

#include "platform/ArquivoComposto.h"
#include "platform/Texto1252.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace dorvan {

namespace {

// Position in this list of a colour's ordinal = the palette index written for it.
constexpr std::uint8_t OrdemCores[65] = {
    56, 63, 58, 59, 60, 61, 62, 63, 0,  39, 16, 27, 13, 26, 24, 28, 8,  11, 5,  10, 22, 12,
    31, 15, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 29, 36, 35, 34,
    37, 32, 38, 33, 21, 20, 18, 25, 17, 9,  14, 23, 4,  19, 3,  2,  1,  30, 6,  7,  64};

constexpr std::uint8_t XF0[20] = {0x00, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0x00,
                                  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
constexpr std::uint8_t XFEstilo[20] = {0x00, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20, 0x00, 0x00, 0xF4,
                                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
constexpr std::uint8_t XF15[20] = {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x20, 0x00, 0x00, 0x00,
                                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};

constexpr std::uint32_t Paleta[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
    0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
    0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
    0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xE3E3E3,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
    0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

using Bytes = std::vector<std::uint8_t>;

void U8(Bytes& b, unsigned v) { b.push_back(static_cast<std::uint8_t>(v & 0xFF)); }
void U16(Bytes& b, unsigned v) {
    U8(b, v);
    U8(b, v >> 8);
}
void U32(Bytes& b, std::uint32_t v) {
    U16(b, v & 0xFFFF);
    U16(b, v >> 16);
}
void F64(Bytes& b, double v) {
    std::uint64_t u;
    std::memcpy(&u, &v, 8);
    U32(b, static_cast<std::uint32_t>(u));
    U32(b, static_cast<std::uint32_t>(u >> 32));
}
void Poe32(std::string& s, std::size_t pos, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[pos + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint32_t Le32(const std::string& s, std::size_t pos) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[pos + i]);
    return v;
}
// 8-bit string with a 16-bit length and a flags byte 0 (FORMAT records).
void Texto8(Bytes& b, const std::string& s) {
    U16(b, static_cast<unsigned>(s.size()));
    U8(b, 0);
    for (char c : s) U8(b, static_cast<unsigned char>(c));
}

// Text cells and sheet names are stored as Unicode: one byte per character when
// every character is below 256, else two. Code page 1252 bytes 0x80-0x9F are not
// Latin-1 characters, so they are converted rather than copied.
struct TextoUnicode {
    std::vector<char32_t> codigos;
    bool largo = false;
};
TextoUnicode ParaUnicode(const std::string& s) {
    TextoUnicode t;
    for (char c : s) {
        const char32_t u = CodigoUnicode1252(static_cast<unsigned char>(c));
        if (u > 0xFF) t.largo = true;
        t.codigos.push_back(u);
    }
    return t;
}

std::string Erro(const char* molde, int a, int b) {
    char m[128];
    std::snprintf(m, sizeof m, molde, a, b);
    return m;
}

// Number-format pattern of the locale's currency with 0 or 2 decimals.
std::string FormatoMoeda(int decimais) {
    const QLocale local;
    std::string simbolo = DeQString(local.currencySymbol(QLocale::CurrencySymbol));
    for (char c : simbolo)
        if (static_cast<unsigned char>(c) > 185) {
            simbolo.clear();
            break;
        }
    const std::string numero = decimais > 0 ? "#,##0.00" : "#,##0";
    const QString amostra = local.toCurrencyString(1.0);
    const bool antes = !local.currencySymbol().isEmpty() && amostra.startsWith(local.currencySymbol());
    const std::string s = simbolo.empty() ? std::string() : "\"" + simbolo + "\"";
    const std::string positivo = antes ? s + " " + numero : numero + (s.empty() ? "" : " " + s);
    const std::string negativo = antes ? "-" + s + " " + numero : "-" + numero + (s.empty() ? "" : " " + s);
    return positivo + ";" + negativo;
}

// The locale's short date or time pattern in the spreadsheet's letters.
std::string FormatoDataHora(bool data) {
    const QLocale local;
    const QString qt = data ? local.dateFormat(QLocale::ShortFormat) : local.timeFormat(QLocale::ShortFormat);
    std::string r;
    for (qsizetype i = 0; i < qt.size(); ++i) {
        const QChar c = qt[i];
        if (c == u'M') r += 'm';
        else if (c == u'H') r += 'h';
        else if (c == u'a' || c == u'A') {
            r += "AM/PM";
            if (i + 1 < qt.size() && (qt[i + 1] == u'p' || qt[i + 1] == u'P')) ++i;
        } else if (c == u't') continue; // time zone: no equivalent
        else r += ByteDe1252(c.unicode());
    }
    while (!r.empty() && r.back() == ' ') r.pop_back();
    return r;
}

} // namespace

int IndiceCor(TExcelColor cor) {
    const auto ordinal = static_cast<std::uint8_t>(cor);
    for (int i = 0; i < 65; ++i)
        if (OrdemCores[i] == ordinal) return i;
    return 64;
}

int TFontList::Adiciona(const TExcelFont& f) {
    for (std::size_t i = 0; i < fontes_.size(); ++i)
        if (fontes_[i] == f) return static_cast<int>(i);
    fontes_.push_back(f);
    return static_cast<int>(fontes_.size()) - 1;
}

const TExcelFont& TFontList::Fonte(int i) const {
    if (i < 0 || i >= Conta()) throw ErroXLS("Font index out of range");
    return fontes_[static_cast<std::size_t>(i)];
}

TXLSWrite::TXLSWrite() = default;

TXLSWrite::~TXLSWrite() {
    try {
        CloseFile();
    } catch (...) {
        Limpa();
    }
}

TCellFormat& TXLSWrite::AdicionaFormato() {
    TCellFormat f;
    f.Name = "Format " + std::to_string(formatos_.size());
    formatos_.push_back(f);
    return formatos_.back();
}

void TXLSWrite::DefineXLSVersion(TXLSVersion v) {
    if (aberto_) throw ErroXLS("Version can not be changed while file is open");
    versao_ = v;
}

void TXLSWrite::ExigeAberto() const {
    if (!aberto_) throw ErroXLS("Can not write cells when file is closed");
}

void TXLSWrite::Registro(std::uint16_t id, Bytes dados) {
    const std::size_t max = static_cast<std::size_t>(MaxBuffsize());
    if (dados.size() > max)
        throw ErroXLS("Data size to large, max " + std::to_string(max) + " bytes");
    auto tamanho = static_cast<std::uint16_t>(dados.size());
    if (OnWriteData) {
        dados.resize(max, 0);
        OnWriteData(*this, id, tamanho, dados);
        if (tamanho > max) throw ErroXLS("Data size to large, max " + std::to_string(max) + " bytes");
        dados.resize(tamanho);
    }
    fluxo_ += static_cast<char>(id & 0xFF);
    fluxo_ += static_cast<char>(id >> 8);
    fluxo_ += static_cast<char>(tamanho & 0xFF);
    fluxo_ += static_cast<char>(tamanho >> 8);
    fluxo_.append(reinterpret_cast<const char*>(dados.data()), dados.size());
}

void TXLSWrite::Limpa() {
    aberto_ = false;
    saida_.reset();
    fluxo_.clear();
    fluxo_.shrink_to_fit();
    folhaAtual_ = -1;
    posOffsetFolha_.clear();
    textos_.clear();
    indiceTextos_.clear();
    fontes_.Limpa();
}

void TXLSWrite::Abandona() { Limpa(); }

void TXLSWrite::OpenFile() {
    for (const auto& s : Sheets)
        if (s.empty()) throw ErroXLS("Sheet Name is missing");
    if (Sheets.empty()) throw ErroXLS("Sheet Name is missing");
    // A second open must not disturb the used range of the file still open.
    if (aberto_) throw ErroXLS("File is allready open");
    linhaMin_ = linhaMax_ = colunaMin_ = colunaMax_ = -1;
    if (FileName.find_first_not_of(' ') == std::string::npos) throw ErroXLS("Filename is missing");
    if (versao_ != TXLSVersion::xls97) throw ErroXLS("Only Excel 97 workbooks can be written");
    Limpa();
    // The file is created now so a folder that cannot take it fails before any cell.
    saida_ = std::make_unique<GravacaoSegura>(FileName);
    aberto_ = true;
    GravaGlobais();
    NextSheet();
}

void TXLSWrite::GravaGlobais() {
    Bytes b;
    U16(b, 0x0600), U16(b, 0x0005), U16(b, 0), U16(b, 1998), U32(b, 0), U32(b, 6);
    Registro(0x0809, b);
    b.clear();
    U16(b, 1), U8(b, 0), U8(b, 'X');
    b.resize(112, ' ');
    Registro(0x005C, b);
    Registro(0x0042, {0xB0, 0x04}); // 1200
    Registro(0x0161, {0, 0});
    b.clear();
    for (std::size_t i = 0; i < Sheets.size(); ++i) U16(b, static_cast<unsigned>(i + 1));
    Registro(0x013D, b);
    Registro(0x009C, {14, 0});
    Registro(0x0019, {0, 0});
    Registro(0x0012, {static_cast<std::uint8_t>((Options & soProtected) ? 1 : 0), 0});
    Registro(0x0013, {0, 0});
    Registro(0x01AF, {0, 0});
    Registro(0x01BC, {0, 0});
    b.clear();
    U16(b, 120), U16(b, 120), U16(b, 23820), U16(b, 15720), U16(b, 0x0038), U16(b, 0), U16(b, 0), U16(b, 1),
        U16(b, 600);
    Registro(0x003D, b);
    Registro(0x0040, {0, 0});
    Registro(0x008D, {0, 0});
    Registro(0x0022, {0, 0});
    Registro(0x000E, {1, 0});
    Registro(0x01B7, {0, 0});
    Registro(0x00DA, {0, 0});

    auto Formato = [this](unsigned numero, const std::string& texto) {
        Bytes f;
        U16(f, numero);
        Texto8(f, texto);
        Registro(0x041E, f);
    };
    Formato(50, "0.00");
    Formato(51, "#,##0");
    Formato(52, "#,##0.00");
    Formato(53, "0.00%");
    Formato(54, FormatoMoeda(0));
    Formato(55, FormatoMoeda(2));
    Formato(56, FormatoDataHora(true));
    Formato(57, FormatoDataHora(false));
    Formato(58, "@");
    for (std::size_t i = 0; i < formatos_.size(); ++i)
        if (formatos_[i].TextFormat == TTextFormat::tfUser)
            Formato(static_cast<unsigned>(59 + i), formatos_[i].TextFormatUser);

    auto XF = [this](const std::uint8_t* x) { Registro(0x00E0, Bytes(x, x + 20)); };
    XF(XF0);
    for (int i = 1; i <= 14; ++i) {
        std::uint8_t x[20];
        std::memcpy(x, XFEstilo, 20);
        x[0] = (i <= 2) ? 1 : (i <= 4) ? 2 : 0;
        XF(x);
    }
    XF(XF15);
    for (std::size_t i = 0; i < formatos_.size(); ++i) {
        const TCellFormat& f = formatos_[i];
        std::uint8_t x[20];
        std::memcpy(x, XF15, 20);
        const int fonte = fontes_.Adiciona(f.Font) + 5;
        x[0] = static_cast<std::uint8_t>(fonte & 0xFF);
        x[1] = static_cast<std::uint8_t>(fonte >> 8);
        unsigned usados = 0x0800;
        if (f.TextFormat != TTextFormat::tfGeneral) {
            usados |= 0x0400;
            const unsigned n = f.TextFormat == TTextFormat::tfUser ? static_cast<unsigned>(59 + i)
                                                                    : 49u + static_cast<unsigned>(f.TextFormat);
            x[2] = static_cast<std::uint8_t>(n & 0xFF);
            x[3] = static_cast<std::uint8_t>(n >> 8);
        }
        if (f.CellColor != TExcelColor::xcNoColor) {
            usados |= 0x4000;
            x[17] = static_cast<std::uint8_t>((x[17] & 0x03) | 0x04); // solid fill
            const unsigned cores = (static_cast<unsigned>(x[18]) | (static_cast<unsigned>(x[19]) << 8));
            const unsigned novas = (cores & ~0x7Fu) | static_cast<unsigned>(IndiceCor(f.CellColor));
            x[18] = static_cast<std::uint8_t>(novas & 0xFF);
            x[19] = static_cast<std::uint8_t>(novas >> 8);
        }
        if (f.Border != 0) {
            usados |= 0x2000;
            unsigned linhas = 0;
            if (f.Border & cbLeft) linhas |= 0x0001;
            if (f.Border & cbRight) linhas |= 0x0010;
            if (f.Border & cbTop) linhas |= 0x0100;
            if (f.Border & cbBottom) linhas |= 0x1000;
            x[10] = static_cast<std::uint8_t>(linhas & 0xFF);
            x[11] = static_cast<std::uint8_t>(linhas >> 8);
            // Black lines on every side; the diagonal (top-left to bottom-right) is
            // bit 30 of the border word, not a line style.
            std::uint32_t lados = 8u | (8u << 7);
            if (f.Border & cbDiag) lados |= 1u << 14;
            x[12] = static_cast<std::uint8_t>(lados & 0xFF);
            x[13] = static_cast<std::uint8_t>(lados >> 8);
            std::uint32_t resto = 8u | (8u << 7) | (8u << 14) | ((f.Border & cbDiag) ? (1u << 21) : 0u);
            for (int k = 0; k < 3; ++k) x[14 + k] = static_cast<std::uint8_t>((resto >> (8 * k)) & 0xFF);
        }
        x[6] = static_cast<std::uint8_t>(static_cast<unsigned>(f.HorizAlignment) | (f.WrapText ? 0x08u : 0u) |
                                         (static_cast<unsigned>(f.VertAlignment) << 4));
        usados |= 0x1000;
        if (f.Protection != 0) {
            usados |= 0x8000;
            x[4] = static_cast<std::uint8_t>((x[4] & ~3u) | (f.Protection & 3u));
        }
        x[8] = static_cast<std::uint8_t>(x[8] | (usados & 0xFF));
        x[9] = static_cast<std::uint8_t>(x[9] | (usados >> 8));
        XF(x);
    }

    auto Fonte = [this](const TExcelFont& f) {
        Bytes r;
        U16(r, static_cast<unsigned>(f.Size * 20));
        U16(r, ((f.Style & xfsItalic) ? 2u : 0u) | ((f.Style & xfsStrikeOut) ? 8u : 0u));
        U16(r, static_cast<unsigned>(IndiceCor(f.Color)));
        U16(r, (f.Style & xfsBold) ? 700u : 400u);
        U16(r, 0);
        static constexpr std::uint8_t sublinhados[] = {0, 1, 2, 0x21, 0x22};
        U8(r, sublinhados[static_cast<int>(f.Underline)]);
        U8(r, 0), U8(r, f.Charset), U8(r, 0);
        const TextoUnicode nome = ParaUnicode(f.Name);
        U8(r, static_cast<unsigned>(std::min<std::size_t>(nome.codigos.size(), 255)));
        U8(r, 1);
        for (std::size_t k = 0; k < nome.codigos.size() && k < 255; ++k) U16(r, static_cast<unsigned>(nome.codigos[k]));
        Registro(0x0031, r);
    };
    for (int i = 0; i < 4; ++i) Fonte(Font);
    for (int i = 0; i < fontes_.Conta(); ++i) Fonte(fontes_.Fonte(i));

    for (const std::uint8_t* e : {(const std::uint8_t*)"\x10\x80\x03\xFF", (const std::uint8_t*)"\x11\x80\x06\xFF",
                                  (const std::uint8_t*)"\x12\x80\x04\xFF", (const std::uint8_t*)"\x13\x80\x07\xFF",
                                  (const std::uint8_t*)"\x00\x80\x00\xFF", (const std::uint8_t*)"\x14\x80\x05\xFF"})
        Registro(0x0293, Bytes(e, e + 4));
    b.clear();
    U16(b, 56);
    for (std::uint32_t c : Paleta) U8(b, c >> 16), U8(b, c >> 8), U8(b, c), U8(b, 0);
    Registro(0x0092, b);
    Registro(0x0160, {1, 0});
    for (const auto& nome : Sheets) {
        b.clear();
        U32(b, 0), U16(b, 0);
        const TextoUnicode u = ParaUnicode(nome);
        const std::size_t n = std::min<std::size_t>(u.codigos.size(), 31);
        U8(b, static_cast<unsigned>(n));
        U8(b, u.largo ? 1 : 0);
        for (std::size_t k = 0; k < n; ++k) u.largo ? U16(b, u.codigos[k]) : U8(b, u.codigos[k]);
        posOffsetFolha_.push_back(fluxo_.size() + 4);
        Registro(0x0085, b);
    }
    Registro(0x008C, {1, 0, 1, 0});
    posTextos_ = fluxo_.size();
}

void TXLSWrite::NextSheet() {
    if (!aberto_) throw ErroXLS("Call to NextSheet without OpenFile");
    if (folhaAtual_ + 1 >= static_cast<int>(Sheets.size())) throw ErroXLS("Sheet index out of range");
    // The globals end with their own EOF as every sheet does; the shared strings are
    // inserted before it at CloseFile.
    if (folhaAtual_ >= 0) TerminaFolha();
    Registro(0x000A, {});
    ++folhaAtual_;
    Poe32(fluxo_, posOffsetFolha_[static_cast<std::size_t>(folhaAtual_)], static_cast<std::uint32_t>(fluxo_.size()));
    IniciaFolha();
}

void TXLSWrite::IniciaFolha() {
    Bytes b;
    U16(b, 0x0600), U16(b, 0x0010), U16(b, 0), U16(b, 1998), U32(b, 0), U32(b, 6);
    Registro(0x0809, b);
    Registro(0x005E, {0, 0});
    Registro(0x000D, {1, 0});
    Registro(0x000C, {100, 0});
    Registro(0x000F, {1, 0});
    Registro(0x0011, {0, 0});
    b.clear();
    F64(b, 0.001);
    Registro(0x0010, b);
    Registro(0x005F, {static_cast<std::uint8_t>(RecalcFormulas ? 1 : 0), 0});
    Registro(0x002A, {0, 0});
    Registro(0x002B, {0, 0});
    Registro(0x0082, {1, 0});
    Registro(0x0080, Bytes(8, 0));
    Registro(0x0225, {0, 0, 255, 0});
    Registro(0x008C, {1, 0, 1, 0});
    Registro(0x0081, {0xC1, 0x04});
    Registro(0x0014, {});
    Registro(0x0015, {});
    Registro(0x0083, {0, 0});
    Registro(0x0084, {0, 0});
    const double margens[4] = {PageSetup.MarginLeft, PageSetup.MarginRight, PageSetup.MarginTop,
                               PageSetup.MarginBottom};
    for (int i = 0; i < 4; ++i)
        if (margens[i] >= 0) {
            b.clear();
            F64(b, margens[i]);
            Registro(static_cast<std::uint16_t>(0x0026 + i), b);
        }
    b.clear();
    U16(b, 0), U16(b, static_cast<unsigned>(PageSetup.ScalingFactor)), U16(b, static_cast<unsigned>(PageSetup.StartingPage));
    U16(b, 1), U16(b, 1), U16(b, PageSetup.Options), U16(b, 600), U16(b, 600);
    F64(b, PageSetup.HeaderMargin), F64(b, PageSetup.FooterMargin);
    U16(b, static_cast<unsigned>(PageSetup.Copies));
    Registro(0x00A1, b);
    Registro(0x0016, {1, 0});
    Registro(0x0017, {1, 2});
    const int reserva =
        ReservedExtnamesSize < 256 ? 256 : std::min(ReservedExtnamesSize, MaxBuffsize());
    Registro(0x0000, Bytes(static_cast<std::size_t>(reserva), 0));
    Registro(0x0055, {8, 0});
    posDimensoes_ = fluxo_.size() + 4;
    b.clear();
    U32(b, 0), U32(b, 1), U16(b, 0), U16(b, 1), U16(b, 0);
    Registro(0x0200, b);
    linhaMin_ = linhaMax_ = colunaMin_ = colunaMax_ = -1;
}

void TXLSWrite::TerminaFolha() {
    // The sheet's used range, so readers that trust it see every cell.
    if (linhaMin_ >= 0) {
        Poe32(fluxo_, posDimensoes_, static_cast<std::uint32_t>(linhaMin_));
        Poe32(fluxo_, posDimensoes_ + 4, static_cast<std::uint32_t>(linhaMax_ + 1));
        fluxo_[posDimensoes_ + 8] = static_cast<char>(colunaMin_ & 0xFF);
        fluxo_[posDimensoes_ + 9] = static_cast<char>(colunaMin_ >> 8);
        fluxo_[posDimensoes_ + 10] = static_cast<char>((colunaMax_ + 1) & 0xFF);
        fluxo_[posDimensoes_ + 11] = static_cast<char>((colunaMax_ + 1) >> 8);
    }
    Bytes b;
    unsigned flags = 0x04B0;
    if (folhaAtual_ == 0) flags |= 0x0200;
    if (Options & soGridlines) flags |= 0x0002;
    if (Options & soRowColHeadings) flags |= 0x0004;
    U16(b, flags);
    b.resize(18, 0);
    Registro(0x023E, b);
    b.clear();
    U8(b, 3), U16(b, 0), U16(b, 0), U16(b, 0), U16(b, 1), U16(b, 0), U16(b, 0), U8(b, 0), U8(b, 0);
    Registro(0x001D, b);
}

void TXLSWrite::MarcaUso(int coluna, int linha) {
    if (coluna < 0 || coluna > 255 || linha < 0 || linha > 65535)
        throw ErroXLS(Erro("Cell R%d,C%d: outside the sheet", linha, coluna));
    if (linhaMin_ < 0) {
        linhaMin_ = linhaMax_ = linha;
        colunaMin_ = colunaMax_ = coluna;
        return;
    }
    linhaMin_ = std::min(linhaMin_, linha), linhaMax_ = std::max(linhaMax_, linha);
    colunaMin_ = std::min(colunaMin_, coluna), colunaMax_ = std::max(colunaMax_, coluna);
}

void TXLSWrite::WriteNumber(int coluna, int linha, double valor, int formato) {
    ExigeAberto();
    MarcaUso(coluna, linha);
    Bytes b;
    U16(b, static_cast<unsigned>(linha)), U16(b, static_cast<unsigned>(coluna));
    U16(b, formato < 0 ? 15u : 16u + static_cast<unsigned>(formato));
    F64(b, valor);
    Registro(0x0203, b);
}

std::uint32_t TXLSWrite::IndiceTexto(const std::string& texto) {
    const auto it = indiceTextos_.find(texto);
    if (it != indiceTextos_.end()) return it->second;
    const auto n = static_cast<std::uint32_t>(textos_.size());
    textos_.push_back(texto);
    indiceTextos_.emplace(texto, n);
    return n;
}

void TXLSWrite::WriteString(int coluna, int linha, const std::string& texto, int formato) {
    ExigeAberto();
    if (texto.empty()) return;
    if (texto.size() > 32767) throw ErroXLS(Erro("Cell R%d,C%d: String length more than 32767 bytes", linha, coluna));
    MarcaUso(coluna, linha);
    Bytes b;
    U16(b, static_cast<unsigned>(linha)), U16(b, static_cast<unsigned>(coluna));
    U16(b, formato < 0 ? 15u : 16u + static_cast<unsigned>(formato));
    U32(b, IndiceTexto(texto));
    Registro(0x00FD, b);
}

void TXLSWrite::SetColWidth(int primeira, int ultima, int largura, int formato) {
    ExigeAberto();
    Bytes b;
    U16(b, static_cast<unsigned>(primeira)), U16(b, static_cast<unsigned>(ultima));
    U16(b, static_cast<unsigned>(std::clamp(largura, 0, 0xFFFF)));
    U16(b, formato < 0 ? 15u : 16u + static_cast<unsigned>(formato));
    U16(b, 0), U8(b, 0);
    Registro(0x007D, b);
}

// SST and its CONTINUE records. An entry that does not fit the current record goes
// whole into the next; one larger than a record is cut at record ends, each
// continuation opening with the entry's flags byte.
std::string TXLSWrite::MontaTextosCompartilhados() const {
    const std::size_t max = static_cast<std::size_t>(MaxBuffsize());
    std::vector<std::string> registros;
    std::string atual(8, '\0'); // SST counts, filled below
    auto Car = [](std::string& r, char32_t c, bool largo) {
        r += static_cast<char>(c & 0xFF);
        if (largo) r += static_cast<char>((c >> 8) & 0xFF);
    };
    for (const std::string& texto : textos_) {
        const TextoUnicode u = ParaUnicode(texto);
        const std::size_t largura = u.largo ? 2 : 1;
        const std::size_t n = u.codigos.size();
        const std::size_t entrada = 3 + n * largura;
        if (!atual.empty() && atual.size() + entrada > max) {
            registros.push_back(std::move(atual));
            atual.clear();
        }
        atual += static_cast<char>(n & 0xFF);
        atual += static_cast<char>(n >> 8);
        atual += static_cast<char>(u.largo ? 1 : 0);
        for (std::size_t k = 0; k < n; ++k) {
            if (atual.size() + largura > max) {
                registros.push_back(std::move(atual));
                atual.assign(1, static_cast<char>(u.largo ? 1 : 0));
            }
            Car(atual, u.codigos[k], u.largo);
        }
    }
    registros.push_back(std::move(atual));
    const auto conta = static_cast<std::uint32_t>(textos_.size());
    Poe32(registros[0], 0, conta);
    Poe32(registros[0], 4, conta);
    std::string saida;
    for (std::size_t i = 0; i < registros.size(); ++i) {
        const std::uint16_t id = i == 0 ? 0x00FC : 0x003C;
        const auto tamanho = static_cast<std::uint16_t>(registros[i].size());
        saida += static_cast<char>(id & 0xFF);
        saida += static_cast<char>(id >> 8);
        saida += static_cast<char>(tamanho & 0xFF);
        saida += static_cast<char>(tamanho >> 8);
        saida += registros[i];
    }
    return saida;
}

void TXLSWrite::CloseFile() {
    if (!aberto_) return;
    try {
        while (folhaAtual_ + 1 < static_cast<int>(Sheets.size())) NextSheet();
        TerminaFolha();
        Registro(0x000A, {});
        const std::string sst = MontaTextosCompartilhados();
        fluxo_.insert(posTextos_, sst);
        for (std::size_t pos : posOffsetFolha_)
            Poe32(fluxo_, pos, Le32(fluxo_, pos) + static_cast<std::uint32_t>(sst.size()));
        std::string arquivo = MontaArquivoComposto({{"Workbook", std::move(fluxo_)}});
        saida_->Escreve(arquivo);
        saida_->Confirma();
    } catch (...) {
        Limpa();
        throw;
    }
    Limpa();
}

void ConfiguraXLSWrite1(TXLSWrite& w) {
    w.DefineXLSVersion(TXLSVersion::xls97);
    w.FuncArgSeparator = ';';
    w.Formats().clear();
    static const char* const usuario[5] = {"#,##0;[red]-#,##0", "#,##0.0;[red]-#,##0.0", "#,##0.00;[red]-#,##0.00",
                                           "#,##0.000;[red]-#,##0.000", "#,##0.0000;[red]-#,##0.0000"};
    for (int i = 0; i < 7; ++i) {
        TCellFormat& f = w.AdicionaFormato();
        f.VertAlignment = TCellVertAlign::cvaTop;
        if (i == 1) f.HorizAlignment = TCellHorizAlign::chaRight;
        if (i >= 2) {
            f.Name = "Num" + std::to_string(i - 2) + "D";
            f.TextFormat = TTextFormat::tfUser;
            f.TextFormatUser = usuario[i - 2];
        }
    }
}

TXLSWrite& XLSWrite1() {
    static TXLSWrite w;
    static const bool configurado = (ConfiguraXLSWrite1(w), true);
    (void)configurado;
    return w;
}

namespace {
void EscreveTabela(TXLSWrite& w, const TabelaResultados& t);
// The number format of a column: Num0D .. Num4D. Columns with more decimals than
// the workbook has formats for take the finest one.
int FormatoColuna(const ColunaResultados& c) { return std::clamp(c.Decimais, 0, 4) + 2; }
} // namespace

std::string MensagemXLSGrande(const TabelaResultados& t) {
    std::string erro;
    const bool cabeEmDBF = !CamposParaDBF(t, erro).empty();
    return "A tabela tem " + std::to_string(t.NumColunas()) + " colunas e " + std::to_string(t.NumLinhas) +
           " linhas; uma planilha do Excel comporta no m\xE1ximo " + std::to_string(MaxColunasXLS) + " colunas e " +
           std::to_string(MaxLinhasXLS) + " linhas. " +
           (cabeEmDBF ? "Salve-a como CSV (.csv) ou DBF (.dbf), que comportam a tabela inteira."
                      : "Salve-a como CSV (.csv), que comporta a tabela inteira.");
}

void SalvaXLS(TXLSWrite& w, const TabelaResultados& t, const std::string& arquivo) {
    // A sheet holds 256 columns and 65536 rows; a larger table is refused before
    // any file is created rather than written in part.
    if (t.NumColunas() > MaxColunasXLS || t.NumLinhas > MaxLinhasXLS) throw ErroXLS(MensagemXLSGrande(t));
    w.FileName = arquivo;
    w.OpenFile();
    try {
        EscreveTabela(w, t);
    } catch (...) {
        // The writer would otherwise stay open and refuse every later save.
        w.Abandona();
        throw;
    }
}

namespace {
void EscreveTabela(TXLSWrite& w, const TabelaResultados& t) {
    // A cell that holds no number (not-finite) is left empty rather than written
    // as a value the spreadsheet would show as garbage.
    auto Numero = [&w](int c, int r, double v, int f) {
        if (std::isfinite(v)) w.WriteNumber(c, r, v, f);
    };
    w.WriteString(0, 0, t.Titulo1, 0);
    w.WriteString(0, 1, t.Titulo2, 0);
    w.WriteString(0, 2, t.NomeColuna(0), 0);
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) w.WriteString(c, 2, t.NomeColuna(c), 1);
    w.SetColWidth(0, 0, t.Coluna(0).Largura * 256, -1);
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        w.SetColWidth(c, c, t.Coluna(c).Largura * 256, FormatoColuna(t.Coluna(c)));
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        w.WriteString(0, r + 2, t.Rotulo(r), 0);
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c) Numero(c, r + 2, t.Dado(c, r), FormatoColuna(t.Coluna(c)));
    }
    w.WriteString(0, t.NumLinhas + 3, "Total", 0);
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        Numero(c, t.NumLinhas + 3, t.Coluna(c).Total, FormatoColuna(t.Coluna(c)));
    w.WriteString(0, t.NumLinhas + 5, t.Rodape, 0);
    w.CloseFile();
}

} // namespace

} // namespace dorvan
