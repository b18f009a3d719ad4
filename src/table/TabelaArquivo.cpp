#include "table/TabelaArquivo.h"

#include "data/LeDBF32.h"
#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "platform/Texto.h"
#include "platform/Texto1252.h"
#include "table/Utilidades.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <map>

namespace dorvan {

namespace {

constexpr std::size_t MaxTituloLido = 80; // titles and note texts as the reader keeps them
constexpr std::int32_t MaxDecimaisLidos = 15; // digits beyond a double's precision are noise
constexpr std::int32_t MaxIndCor = 16;

bool ComecaCom(std::string_view s, std::string_view prefixo) { return s.substr(0, prefixo.size()) == prefixo; }

std::string Corta(std::string s, std::size_t n) {
    if (s.size() > n) s.resize(n);
    return s;
}

// Text of a keyed line: no separator, no TAB, no line break, so the line stays one
// header line whatever it holds.
std::string TextoChave(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (char ch : s) {
        if (ch == ';' || ch == '\r' || ch == '\n') continue;
        r += ch == '\t' ? ' ' : ch;
    }
    return r;
}

// Inside double quotes: a '"' would end the field early, a line break the line.
std::string TextoCampo(std::string_view s, bool apostrofo) {
    std::string r;
    r.reserve(s.size());
    for (char ch : s) {
        if (ch == '\r' || ch == '\n') continue;
        if (ch == '"') {
            if (apostrofo) r += '\'';
            continue;
        }
        r += ch == '\t' ? ' ' : ch;
    }
    return r;
}

std::string Alinhado(long long n, std::size_t largura) {
    std::string s = std::to_string(n);
    if (s.size() < largura) s.insert(0, largura - s.size(), ' ');
    return s;
}

// Every prefix the reader treats as a keyed line.
bool PareceChave(std::string_view l) {
    static const char* const chaves[] = {"Titulo1=", "Titulo2=",    "Rodape=", "NumeroDeNotas=", "Nota",
                                         "[Mapa]",   "Nomemapa=",   "Colunamapa=", "IndCor=",    "NumClasses=",
                                         "Log="};
    for (const char* c : chaves)
        if (ComecaCom(l, c)) return true;
    auto digitoIgual = [&](std::string_view p) {
        return l.size() >= p.size() + 2 && ComecaCom(l, p) && l[p.size()] >= '0' && l[p.size()] <= '9' &&
               l[p.size() + 1] == '=';
    };
    return digitoIgual("Cor") || digitoIgual("Classe");
}

int DecimaisDe(const TabelaResultados& t, std::int32_t c) {
    if (c < 1 || c > t.NumColunas()) return 0;
    return std::clamp(t.Coluna(c).Decimais, 0, kMaxDecimais);
}

std::optional<long long> LeInteiro(std::string_view s) {
    std::string a = TiraBrancos(s, EEspacoOuTab);
    std::string_view v = a;
    if (!v.empty() && v[0] == '+') v.remove_prefix(1);
    if (v.empty()) return std::nullopt;
    long long n = 0;
    auto [fim, erro] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (erro != std::errc() || fim != v.data() + v.size()) return std::nullopt;
    return n;
}

int Limita(long long n, int minimo, int maximo) {
    return static_cast<int>(std::clamp<long long>(n, minimo, maximo));
}

// One field of a table line from cursor on, quotes kept (see LeCampoCSV).
std::string ProximoCampo(std::string_view linha, std::size_t& cursor, char sep) {
    std::string campo;
    LeCampoCSV(linha, cursor, sep, campo);
    return campo;
}

std::string SemAspasNasPontas(std::string s) {
    std::size_t i = 0, f = s.size();
    while (i < f && s[i] == '"') ++i;
    while (f > i && s[f - 1] == '"') --f;
    return s.substr(i, f - i);
}

// A field that is a plain number, "-12" or "3,25" (at most 15 digits, the mark
// given), read without the general path and with the cursor moved past its
// separator; what the general path makes of it, bit for bit: an integer over a
// power of ten both held exactly is one correctly rounded division.
struct Simples {
    double valor;
    std::int32_t decimais;
};
std::optional<Simples> NumeroSimples(std::string_view linha, std::size_t& cursor, char sep, char marca) {
    static constexpr double potencias[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = cursor;
    const bool negativo = i < linha.size() && linha[i] == '-';
    if (negativo) ++i;
    long long n = 0;
    int digitos = 0, decimais = -1;
    for (; i < linha.size() && linha[i] != sep; ++i) {
        const char ch = linha[i];
        if (ch >= '0' && ch <= '9') {
            n = n * 10 + (ch - '0');
            if (++digitos > 15) return std::nullopt;
            if (decimais >= 0) ++decimais;
        } else if (ch == marca && decimais < 0) {
            decimais = 0;
        } else {
            return std::nullopt;
        }
    }
    if (digitos == 0) return std::nullopt;
    double v = static_cast<double>(n);
    if (decimais > 0) v /= potencias[decimais];
    if (negativo && n != 0) v = -v;
    cursor = i < linha.size() ? i + 1 : linha.size();
    return Simples{v, std::min(std::max(decimais, 0), MaxDecimaisLidos)};
}

std::map<std::string, GravadorTabela>& Gravadores() {
    static std::map<std::string, GravadorTabela> g;
    return g;
}

// Notes the table cannot place, and empty slots left by a note count larger than
// the note lines, are dropped.
void ValidaNotas(TabelaResultados& t) {
    for (std::int32_t n = t.NumNotas(); n >= 1; --n) {
        const Nota& nota = t.Notas(n);
        bool linhaOk = nota.Linha == LinhaTotais || (nota.Linha >= 0 && nota.Linha <= t.NumLinhas);
        bool colunaOk = nota.Coluna >= 0 && nota.Coluna <= t.NumColunas();
        if (!linhaOk || !colunaOk || nota.Texto.empty()) ApagaNota(t, n);
    }
}

} // namespace

std::vector<std::string_view> QuebraLinhas(std::string_view texto) {
    std::vector<std::string_view> linhas;
    std::size_t i = 0;
    while (i < texto.size()) {
        std::size_t p = texto.find('\n', i);
        std::size_t f = p == std::string_view::npos ? texto.size() : p;
        std::string_view l = texto.substr(i, f - i);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        linhas.push_back(l);
        i = p == std::string_view::npos ? texto.size() : p + 1;
    }
    // The end-of-file mark of old editors is no line.
    if (!linhas.empty() && linhas.back() == "\x1A") linhas.pop_back();
    return linhas;
}

std::string ExtensaoMaiuscula(const std::string& arquivo) {
    std::size_t barra = arquivo.find_last_of("/\\");
    std::size_t ponto = arquivo.rfind('.');
    if (ponto == std::string::npos || (barra != std::string::npos && ponto < barra)) return {};
    return MaiusculasAscii(arquivo.substr(ponto));
}

std::string DiretorioDe(const std::string& arquivo) {
    std::size_t barra = arquivo.find_last_of('/');
    return barra == std::string::npos ? std::string() : arquivo.substr(0, barra + 1);
}

char MarcaDecimalLocal() {
    QString p = QLocale().decimalPoint();
    return p.size() == 1 && p[0].unicode() < 128 ? static_cast<char>(p[0].unicode()) : '.';
}

std::string TextoTab(const TabelaResultados& t, const std::vector<std::string>& log) {
    std::string s;
    auto linha = [&s](std::string_view l) {
        s += l;
        s += "\r\n";
    };
    if (!t.Titulo1.empty()) linha("Titulo1=" + TextoChave(t.Titulo1));
    if (!t.Titulo2.empty()) linha("Titulo2=" + TextoChave(t.Titulo2));
    if (!t.Rodape.empty()) linha("Rodape=" + TextoChave(t.Rodape));

    if (t.NumNotas() > 0) {
        linha("NumeroDeNotas=" + std::to_string(t.NumNotas()));
        for (std::int32_t i = 1; i <= t.NumNotas(); ++i) {
            const Nota& n = t.Notas(i);
            std::string texto = TextoChave(n.Texto);
            if (n.Linha >= -999 && n.Linha <= 9999 && n.Coluna >= -99 && n.Coluna <= 999)
                linha("Nota" + Alinhado(i, 4) + Alinhado(n.Linha, 4) + Alinhado(n.Coluna, 3) + texto);
            else
                linha("NotaPos=" + std::to_string(i) + "," + std::to_string(n.Linha) + "," +
                      std::to_string(n.Coluna) + "," + texto);
        }
    }

    if (!t.NomeMapa.empty() && !t.SemClasses) {
        int classes = std::clamp(t.NumClasses, 0, MaxClasses);
        linha("[Mapa]");
        linha("Nomemapa=" + TextoChave(t.NomeMapa));
        linha("Colunamapa=" + std::to_string(t.ColunaMapa));
        linha("NumClasses=" + std::to_string(classes));
        linha("IndCor=" + std::to_string(t.IndCor));
        int dec = DecimaisDe(t, t.ColunaMapa);
        for (int k = 0; k < classes; ++k) {
            linha("Cor" + std::to_string(k) + "=" + std::to_string(t.Cor[static_cast<std::size_t>(k + 1)]));
            linha("Classe" + std::to_string(k) + "=" + NumeroMaquina(t.Classe[static_cast<std::size_t>(k + 1)], dec));
        }
    }

    for (const std::string& l : log) {
        std::string limpa;
        for (char ch : l) {
            if (ch == '\r' || ch == '\n') continue;
            limpa += ch == ';' ? ',' : ch == '\t' ? ' ' : ch;
        }
        if (limpa.empty() || limpa[0] == '"' || PareceChave(limpa)) limpa.insert(0, "Log=");
        linha(limpa);
    }

    std::string cab = "\"" + TextoCampo(t.NomeColuna(0), true) + "\"";
    std::string ultimo;
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        ultimo = TextoCampo(t.NomeColuna(c), true);
        cab += ";\"" + ultimo + "\"";
    }
    // The reader drops a last column titled DUMMY: one that reads back so, as
    // written here, is kept behind a DUMMY column of its own.
    const bool dummy = t.NumColunas() == 0 || TiraBrancos(ultimo, EEspacoOuTab) == "DUMMY";
    if (dummy) cab += ";\"DUMMY\"";
    linha(cab);

    const std::int32_t linhas = std::min(t.NumLinhas, t.CapLinhas());
    std::vector<int> dec(static_cast<std::size_t>(t.NumColunas()) + 1, 0);
    std::vector<const double*> celulas(static_cast<std::size_t>(t.NumColunas()) + 1, nullptr);
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        dec[static_cast<std::size_t>(c)] = DecimaisDe(t, c);
        celulas[static_cast<std::size_t>(c)] = t.Coluna(c).Dados.data();
    }
    // Rows go straight into the text, which grows by whole rows.
    s.reserve(s.size() + static_cast<std::size_t>(linhas + 1) * (static_cast<std::size_t>(t.NumColunas()) * 3 + 40));
    for (std::int32_t r = 1; r <= linhas; ++r) {
        s += '"';
        s += TextoCampo(t.Rotulo(r), false);
        s += '"';
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
            s += ';';
            AcrescentaNumero(s, celulas[static_cast<std::size_t>(c)][r], dec[static_cast<std::size_t>(c)], ',');
        }
        if (dummy) s += ";0";
        s += "\r\n";
    }
    std::string tot = "\"Total\"";
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        tot += ";" + NumeroVirgula(t.Coluna(c).Total, dec[static_cast<std::size_t>(c)]);
    if (dummy) tot += ";0";
    linha(tot);
    return s;
}

void GravaTab(TabelaResultados& t, const std::string& arquivo, const std::vector<std::string>& log) {
    GravaArquivoInteiro(arquivo, TextoTab(t, log));
    t.Modificada = false;
}

std::int32_t ColunasPreenchidas(const std::vector<std::string_view>& linhas, std::size_t cabecalho, char sep,
                                long long maxLinhas, std::int32_t maxColunas) {
    std::int32_t colunas = 0;
    std::string campo;
    long long vistas = 0;
    for (std::size_t j = cabecalho; j < linhas.size() && vistas <= maxLinhas; ++j) {
        std::string_view l = linhas[j];
        if (l.find(sep) == std::string_view::npos) continue;
        ++vistas;
        std::size_t cursor = 0;
        LeCampoCSV(l, cursor, sep, campo); // the label
        for (std::int32_t c = 1; c <= maxColunas && cursor < l.size(); ++c) {
            LeCampoCSV(l, cursor, sep, campo);
            if (campo.find_first_not_of(" \t\"") != std::string::npos) colunas = std::max(colunas, c);
        }
    }
    return colunas;
}

std::string MensagemNaoCabe(const std::string& nome, long long linhas, long long colunas) {
    return "A tabela do arquivo " + DeUtf8(nome) + " tem " + std::to_string(linhas) + " linhas e " +
           std::to_string(colunas) + " colunas e n\xE3o cabe na mem\xF3ria. Nada foi lido.";
}

LeituraTabela LeTabela(TabelaResultados& t, const std::string& arquivo, char marcaDecimalTab) {
    LiberaTabela(t);
    t.ArquivoAtual = arquivo;
    std::string texto;
    try {
        texto = LeArquivoInteiro(arquivo);
    } catch (const ErroES&) {
        MensagensAtuais().Mostra("Arquivo " + DeUtf8(arquivo) + " n\xE3o encontrado ");
        return {};
    }
    LeituraTabela r = LeTabelaDeTexto(t, texto, arquivo, marcaDecimalTab);
    t.ArquivoAtual = arquivo;
    return r;
}

LeituraTabela LeTabelaDeTexto(TabelaResultados& t, const std::string& texto, const std::string& nome,
                              char marcaDecimalTab) {
    LeituraTabela res;
    res.aberto = true;
    LiberaTabela(t);
    t.NumLinhas = 0;

    const std::vector<std::string_view> linhas = QuebraLinhas(texto);
    // The keyed lines that open the file are never part of the table, whatever
    // separators their texts hold.
    // A "Nota" line is one only in the writer's fixed form (number, row, column), so
    // a header such as "Nota,Valor" stays a header.
    auto chave = [](std::string_view l) {
        if (!PareceChave(l)) return false;
        if (!ComecaCom(l, "Nota") || ComecaCom(l, "NotaPos=")) return true;
        return l.size() >= 15 && LeInteiro(l.substr(4, 4)) && LeInteiro(l.substr(8, 4)) && LeInteiro(l.substr(12, 3));
    };
    std::size_t primeira = 0;
    while (primeira < linhas.size() &&
           (chave(linhas[primeira]) || linhas[primeira].find_first_of("\t;,") == std::string_view::npos))
        ++primeira;

    // Pass 1: which separator, how many rows and columns.
    const char seps[3] = {'\t', ';', ','};
    long long comSep[3] = {0, 0, 0};
    long long maxSep[3] = {0, 0, 0};
    for (std::size_t li = primeira; li < linhas.size(); ++li) {
        std::string_view l = linhas[li];
        if (l.size() < 2) continue;
        bool aspas = false;
        long long n[3] = {0, 0, 0};
        for (std::size_t i = 0; i + 1 < l.size(); ++i) {
            char ch = l[i];
            if (ch == '"')
                aspas = !aspas;
            else if (!aspas)
                for (int k = 0; k < 3; ++k)
                    if (ch == seps[k]) ++n[k];
        }
        for (int k = 0; k < 3; ++k)
            if (n[k] > 0) {
                ++comSep[k];
                maxSep[k] = std::max(maxSep[k], n[k]);
            }
    }
    int k = comSep[0] > 0 ? 0 : comSep[1] > 0 ? 1 : comSep[2] > 0 ? 2 : -1;
    if (k < 0) return res;
    const char sep = seps[k];
    const char marca = sep == ',' ? '.' : sep == ';' ? ',' : marcaDecimalTab;
    // Rows are counted as the data pass finds them (the separator anywhere in the
    // line), so a last line ending in an empty field is not lost.
    long long comSepEmQualquerLugar = 0;
    for (std::size_t li = primeira; li < linhas.size(); ++li)
        if (linhas[li].find(sep) != std::string_view::npos) ++comSepEmQualquerLugar;
    // One row more than a producer may make, for the totals line.
    long long numLinhas = std::min<long long>(comSepEmQualquerLugar - 1, MaxLinhasTabela + 1);
    if (numLinhas < 2) return res;

    // Pass 2: the keyed lines before the header.
    t.Titulo1 = Corta("Dorvan:" + DeUtf8(nome), MaxTituloLido);
    t.Titulo2.clear();
    t.NomeMapa.clear();
    t.SemClasses = true;
    std::vector<Nota> notas;
    auto notaNumero = [&notas](std::int32_t n) -> Nota& {
        if (static_cast<std::size_t>(n) > notas.size()) notas.resize(static_cast<std::size_t>(n));
        return notas[static_cast<std::size_t>(n) - 1];
    };
    std::size_t i = 0;
    auto resto = [](std::string_view l, std::size_t n) { return l.substr(n); };
    for (; i < linhas.size() && (i < primeira || linhas[i].find(sep) == std::string_view::npos); ++i) {
        std::string_view l = linhas[i];
        bool aceita = true;
        if (ComecaCom(l, "Titulo1=")) {
            // An empty title is no title: the file's name stands for it, as it does
            // when the line is missing, which is how an empty title is saved.
            std::string titulo = Corta(TiraBrancos(resto(l, 8), EEspacoOuTab), MaxTituloLido);
            if (!titulo.empty()) t.Titulo1 = std::move(titulo);
        } else if (ComecaCom(l, "Titulo2=")) {
            t.Titulo2 = Corta(TiraBrancos(resto(l, 8), EEspacoOuTab), MaxTituloLido);
        } else if (ComecaCom(l, "Rodape=")) {
            t.Rodape = Corta(TiraBrancos(resto(l, 7), EEspacoOuTab), MaxTituloLido);
        } else if (ComecaCom(l, "NumeroDeNotas=")) {
            auto n = LeInteiro(resto(l, 14));
            if (n) notas.resize(static_cast<std::size_t>(Limita(*n, 0, MaxNotas)));
            aceita = n.has_value();
        } else if (ComecaCom(l, "NotaPos=")) {
            std::string_view v = resto(l, 8);
            std::optional<long long> campos[3];
            for (auto& c : campos) {
                std::size_t p = v.find(',');
                if (p == std::string_view::npos) break;
                c = LeInteiro(v.substr(0, p));
                v.remove_prefix(p + 1);
            }
            aceita = campos[0] && campos[1] && campos[2];
            if (aceita && *campos[0] >= 1 && *campos[0] <= MaxNotas) {
                notaNumero(static_cast<std::int32_t>(*campos[0])) = Nota{Limita(*campos[1], INT32_MIN, INT32_MAX), Limita(*campos[2], INT32_MIN, INT32_MAX),
                                    Corta(std::string(v), MaxTituloLido)};
            }
        } else if (ComecaCom(l, "Nota")) {
            auto num = l.size() >= 8 ? LeInteiro(l.substr(4, 4)) : std::nullopt;
            auto lin = l.size() >= 12 ? LeInteiro(l.substr(8, 4)) : std::nullopt;
            auto col = l.size() >= 15 ? LeInteiro(l.substr(12, 3)) : std::nullopt;
            aceita = num && lin && col;
            if (aceita && *num >= 1 && *num <= MaxNotas) {
                notaNumero(static_cast<std::int32_t>(*num)) = Nota{static_cast<std::int32_t>(*lin), static_cast<std::int32_t>(*col),
                                  Corta(std::string(l.substr(15)), MaxTituloLido)};
            }
        } else if (ComecaCom(l, "[Mapa]") || ComecaCom(l, "Colunamapa=")) {
        } else if (ComecaCom(l, "Nomemapa=")) {
            t.NomeMapa = TiraBrancos(BarrasNormais(resto(l, 9)), EEspacoOuTab);
            res.dirMapas = DiretorioDe(t.NomeMapa);
        } else if (ComecaCom(l, "IndCor=")) {
            auto n = LeInteiro(resto(l, 7));
            if (n) t.IndCor = Limita(*n, 0, MaxIndCor);
            aceita = n.has_value();
        } else if (ComecaCom(l, "NumClasses=")) {
            auto n = LeInteiro(resto(l, 11));
            if (n) {
                t.NumClasses = Limita(*n, 0, MaxClasses);
                t.SemClasses = false;
            }
            aceita = n.has_value();
        } else if (l.size() >= 5 && ComecaCom(l, "Cor") && l[3] >= '0' && l[3] <= '9' && l[4] == '=') {
            auto n = LeInteiro(resto(l, 5));
            if (n && *n >= 0 && *n <= 0xFFFFFFFFLL) t.Cor[static_cast<std::size_t>(l[3] - '0' + 1)] = static_cast<std::uint32_t>(*n);
            aceita = n.has_value();
        } else if (l.size() >= 8 && ComecaCom(l, "Classe") && l[6] >= '0' && l[6] <= '9' && l[7] == '=') {
            auto v = LeNumeroMaquina(resto(l, 8));
            if (v) t.Classe[static_cast<std::size_t>(l[6] - '0' + 1)] = *v;
            aceita = v.has_value();
        } else if (ComecaCom(l, "Log=")) {
            res.log.emplace_back(resto(l, 4));
        } else if (!l.empty() && l[0] != '"') {
            res.log.emplace_back(l);
        }
        // A keyed line that does not parse is kept where the user can see it.
        if (!aceita) res.log.emplace_back(l);
    }
    if (i >= linhas.size()) return res;

    // The header. Rows x columns cells are allocated at once: sized by what the
    // file fills, and refused when even that would not fit.
    const std::int32_t numColunas = ColunasPreenchidas(
        linhas, i, sep, numLinhas, static_cast<std::int32_t>(std::min<long long>(maxSep[k], MaxColunas)));
    auto naoCabe = [&] {
        LiberaTabela(t);
        t.NumLinhas = 0;
        MensagensAtuais().Mostra(MensagemNaoCabe(nome, numLinhas, numColunas));
        res.naoCabe = true;
        return res;
    };
    if (!CabeNaMemoria(numLinhas, numColunas)) return naoCabe();
    try {
        std::string_view cab = linhas[i++];
        std::size_t cursor = 0;
        auto titulo = [&] { return TiraBrancos(SemAspasNasPontas(ProximoCampo(cab, cursor, sep)), EEspacoOuTab); };
        std::string t0 = titulo();
        t.AlocaLinhas(static_cast<std::int32_t>(numLinhas), static_cast<std::int32_t>(numLinhas));
        t.DefineNomeColuna(0, t0);
        t.Coluna(0).Decimais = 0;
        t.Coluna(0).Largura = 0;
        for (std::int32_t c = 1; c <= numColunas; ++c) {
            AcrescentaColuna(t, titulo(), 0);
            t.Coluna(c).Largura = 0;
        }
    } catch (const std::bad_alloc&) {
        return naoCabe();
    }
    t.ColunaOrdem = 0;
    t.OrdemDecrescente = false;
    t.DefineNumNotas(static_cast<std::int32_t>(notas.size()));
    for (std::size_t n = 0; n < notas.size(); ++n) t.Notas(static_cast<std::int32_t>(n) + 1) = std::move(notas[n]);

    // The data lines.
    std::int32_t lidas = 0;
    const std::int32_t cap = t.CapLinhas();
    std::vector<std::int32_t> decimais(static_cast<std::size_t>(numColunas) + 1, 0);
    // Each column's cells at hand: a row touches every column once.
    std::vector<double*> celulas(static_cast<std::size_t>(numColunas) + 1, nullptr);
    for (std::int32_t c = 1; c <= numColunas; ++c) celulas[static_cast<std::size_t>(c)] = t.Coluna(c).Dados.data();
    for (; i < linhas.size() && lidas < cap; ++i) {
        std::string_view l = linhas[i];
        if (l.find(sep) == std::string_view::npos) continue;
        std::int32_t r = ++lidas;
        std::size_t cursor = 0;
        t.Rotulo(r) = TiraBrancosDir(SemAspasNasPontas(ProximoCampo(l, cursor, sep)), EEspacoOuTab);
        for (std::int32_t c = 1; c <= numColunas && cursor < l.size(); ++c) {
            if (auto simples = NumeroSimples(l, cursor, sep, marca)) {
                celulas[static_cast<std::size_t>(c)][r] = simples->valor;
                auto& d = decimais[static_cast<std::size_t>(c)];
                d = std::max(d, simples->decimais);
                continue;
            }
            std::string f = FiltraNumeroCSV(ProximoCampo(l, cursor, sep), marca);
            t.Dado(c, r) = ValorNumeroCSV(f);
            std::size_t p = f.find('.');
            if (p != std::string::npos) {
                auto d = static_cast<std::int32_t>(std::min<std::size_t>(f.size() - p - 1, MaxDecimaisLidos));
                decimais[static_cast<std::size_t>(c)] = std::max(decimais[static_cast<std::size_t>(c)], d);
            }
        }
    }
    for (std::int32_t c = 1; c <= numColunas; ++c) t.Coluna(c).Decimais = decimais[static_cast<std::size_t>(c)];

    // A last row labelled "Total" is the totals line.
    std::int32_t linhaTotal = lidas > 0 && t.Rotulo(lidas) == "Total" ? lidas : 0;
    t.NumLinhas = std::min(linhaTotal ? lidas - 1 : lidas, MaxLinhasTabela);
    for (std::int32_t c = 1; c <= numColunas; ++c) {
        ColunaResultados& col = t.Coluna(c);
        col.TipoTotal = TipoTotal::Soma;
        CalculaTotal(t, c);
        if (linhaTotal) {
            double lido = t.Dado(c, linhaTotal);
            // Compared as written, so 0,1 + 0,2 against a stored 0,3 stays a plain sum.
            if (NumeroMaquina(lido, col.Decimais) != NumeroMaquina(col.Total, col.Decimais)) {
                col.Total = lido;
                col.TipoTotal = TipoTotal::PreCalculado;
            }
        }
    }
    // Rows beyond NumLinhas hold nothing.
    for (std::int32_t r = t.NumLinhas + 1; r <= lidas; ++r) {
        t.Rotulo(r).clear();
        for (std::int32_t c = 1; c <= numColunas; ++c) t.Dado(c, r) = 0;
    }

    std::size_t larg0 = t.NomeColuna(0).size();
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) larg0 = std::max(larg0, t.Rotulo(r).size());
    t.Coluna(0).Largura = static_cast<std::int32_t>(larg0);
    for (std::int32_t c = 1; c <= numColunas; ++c) {
        ColunaResultados& col = t.Coluna(c);
        col.Largura = std::max(LarguraValor(col.Decimais, col.Total), static_cast<std::int32_t>(col.NomeColuna.size()) + 1);
    }

    DetectaCodigo(t);
    if (t.TamCodigo != SemCodigo) t.MostraCodigo = true;
    if (t.NumColunas() > 0 && t.NomeColuna(t.NumColunas()) == "DUMMY") RemoveUltimaColuna(t);
    t.ColunaMapa = t.NumColunas();
    ValidaNotas(t);
    t.Modificada = false;
    res.tabela = t.NumLinhas > 0;
    if (!res.tabela) t.DefineNumNotas(0);
    return res;
}

void RegistraGravador(const std::string& extensao, GravadorTabela gravador) {
    std::string e = MaiusculasAscii(extensao);
    if (!e.empty() && e[0] != '.') e.insert(0, ".");
    Gravadores()[e] = std::move(gravador);
}

bool SalvaComo(TabelaResultados& t, const std::string& arquivo, const std::vector<std::string>& log,
               std::string& dirSalva) {
    const std::string ext = ExtensaoMaiuscula(arquivo);
    if ((ext == ".CNV" || ext == ".SPR") && t.TamCodigo == SemCodigo) {
        MensagensAtuais().Mostra(ext == ".CNV" ? "Precisa de chave nas linhas para gerar .CNV"
                                               : "Precisa de chave nas linhas para gerar tabela SPRING");
        return false;
    }
    if (ext == ".TAB") {
        GravaTab(t, arquivo, log);
    } else {
        auto g = Gravadores().find(ext);
        if (g == Gravadores().end() || !g->second) {
            // The type is named, not the path: a name without one says so.
            const std::string tipo = ext.empty() ? std::string("sem extens\xE3o") : "do tipo \"" + DeUtf8(ext) + "\"";
            MensagensAtuais().Mostra("N\xE3o h\xE1 como salvar arquivos " + tipo + ". A tabela n\xE3o foi salva.");
            return false;
        }
        if (!g->second(t, arquivo)) return false;
    }
    t.ArquivoAtual = arquivo;
    dirSalva = DiretorioDe(arquivo);
    return true;
}

std::string NulosComoBrancos(std::string_view campo) {
    std::string r(campo);
    std::replace(r.begin(), r.end(), '\0', ' ');
    return r;
}

bool LeDBFComoTabela(TabelaResultados& t, const std::string& arquivo, const EscolheCamposDBF& escolhe,
                     bool dbfComCP850) {
    dbfRecord h;
    OpenDBF(h, arquivo, true);
    if (h.Estado == 0) return false;
    std::vector<std::string> nomes;
    for (int i = 1; i <= h.NumCampos; ++i) nomes.push_back(h.Campo(i).Nome);
    std::optional<EscolhaCamposDBF> e = escolhe ? escolhe(nomes) : std::nullopt;
    if (!e || e->campoCodigo < 1 || e->campoCodigo > h.NumCampos || e->campoNome < 1 || e->campoNome > h.NumCampos) {
        CloseDBF(h);
        return false;
    }
    const int kc = e->campoCodigo, kn = e->campoNome;
    const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(h.NumRegs, MaxLinhasTabela));
    std::int64_t colunas = 0;
    for (int i = 1; i <= h.NumCampos; ++i) colunas += !e->apenasNumericos || h.Campo(i).Tipo == 'N';
    if (!CabeNaMemoria(n, std::min<std::int64_t>(colunas, MaxColunas))) {
        MensagensAtuais().Mostra(MensagemNaoCabe(arquivo, n, std::min<std::int64_t>(colunas, MaxColunas)));
        CloseDBF(h);
        return false;
    }
    t.AlocaLinhas(n, n);
    if (kc == kn) {
        t.DefineNomeColuna(0, h.Campo(kc).Nome);
        t.Coluna(0).Largura = h.Campo(kc).Tamanho;
        t.TamCodigo = SemCodigo;
        t.MostraCodigo = false;
    } else {
        t.DefineNomeColuna(0, h.Campo(kn).Nome);
        t.Coluna(0).Largura = h.Campo(kc).Tamanho + h.Campo(kn).Tamanho + 1;
        t.TamCodigo = h.Campo(kc).Tamanho;
        t.MostraCodigo = true;
    }
    t.OrdemDecrescente = false;
    t.ColunaOrdem = 0;

    std::vector<int> campos;
    for (int i = 1; i <= h.NumCampos; ++i) {
        const CampoDBF& f = h.Campo(i);
        if (e->apenasNumericos && f.Tipo != 'N') continue;
        if (!AcrescentaColuna(t, f.Nome, f.Decimais)) break;
        t.Coluna(t.NumColunas()).Largura =
            std::max<std::int32_t>(static_cast<std::int32_t>(f.Nome.size()), f.Tamanho);
        campos.push_back(i);
    }
    const bool oem = h.Idioma == 2 || h.Idioma == 0x25 || (h.Idioma == 0 && dbfComCP850);
    for (std::int32_t r = 1; r <= n; ++r) {
        readDBF(h, r);
        std::string rotulo = NulosComoBrancos(VistaCampoDBF(h, kc));
        if (kc != kn) rotulo += " " + TiraBrancosDir(NulosComoBrancos(VistaCampoDBF(h, kn)), EEspacoOuTab);
        if (oem) rotulo = OemParaAnsi(rotulo);
        t.Rotulo(r) = TiraBrancosDir(std::move(rotulo), EEspacoOuTab);
        for (std::size_t j = 0; j < campos.size(); ++j) {
            double v = LePrefixoNumerico(TiraBrancos(NulosComoBrancos(VistaCampoDBF(h, campos[j])), EEspacoOuTab));
            t.Dado(static_cast<std::int32_t>(j) + 1, r) = std::isfinite(v) ? v : 0;
        }
    }
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        t.Coluna(c).TipoTotal = TipoTotal::Soma;
        CalculaTotal(t, c);
    }
    CloseDBF(h);
    return true;
}

} // namespace dorvan
