#include "tabulation/FazDef.h"

#include "data/Index.h"
#include "data/UConvert.h"
#include "data/Ucomprim.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/Texto.h"
#include "table/Utilidades.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <string_view>
#include <unordered_set>

namespace dorvan {

namespace {

// CNV columns (0-based): label 10-59, codes from 61 on.
constexpr std::size_t InicioRotulo = 9;
constexpr std::size_t LarguraRotulo = 50;
constexpr std::size_t InicioCodigos = 60;
// A merged line must stay below this length.
constexpr std::size_t LimiteLinhaCNV = 241;

std::string Colunas(std::string_view s, std::size_t inicio, std::size_t n) {
    return inicio < s.size() ? std::string(s.substr(inicio, n)) : std::string();
}

bool EhComentario(std::string_view s) { return !s.empty() && s.front() == ';'; }
bool EhBranca(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

std::string AlinhaDireita(std::int64_t n, std::size_t largura) {
    std::string s = std::to_string(n);
    return s.size() >= largura ? s : std::string(largura - s.size(), ' ') + s;
}

// The header is the first line that is neither a comment nor blank; -1 when none.
std::ptrdiff_t AchaCabecalho(const std::vector<std::string>& linhas) {
    for (std::size_t i = 0; i < linhas.size(); ++i)
        if (!EhComentario(linhas[i]) && !EhBranca(linhas[i])) return static_cast<std::ptrdiff_t>(i);
    return -1;
}

// A data line without its comment, trailing blanks and one final ','.
std::string LimpaLinha(std::string_view s) {
    std::string r = TiraBrancosDir(s.substr(0, std::min(s.find(';'), s.size())), EEspaco);
    if (!r.empty() && r.back() == ',') r.pop_back();
    return r;
}

// The category of a data line (columns 4-7), read as the table loader reads it:
// blanks count as '0'.
std::int64_t CategoriaDaLinha(const std::string& s) {
    std::string t = Colunas(s, 3, 4);
    std::string digitos = t;
    std::replace(digitos.begin(), digitos.end(), ' ', '0');
    std::size_t i = 0;
    bool negativo = false;
    if (!digitos.empty() && (digitos[0] == '-' || digitos[0] == '+')) negativo = digitos[i++] == '-';
    bool valido = i < digitos.size();
    std::int64_t n = 0;
    for (; i < digitos.size() && valido; ++i) {
        if (digitos[i] < '0' || digitos[i] > '9')
            valido = false;
        else
            n = n * 10 + (digitos[i] - '0');
    }
    if (!valido) throw ErroFatal("'" + t + "' n\xE3o \xE9 um valor inteiro v\xE1lido");
    return negativo ? -n : n;
}

// Data lines that end with a blank get a final ',' so the loader's trimming keeps the blank.
void ProtegeBrancosFinais(std::vector<std::string>& linhas, std::size_t depoisDe) {
    for (std::size_t i = depoisDe + 1; i < linhas.size(); ++i)
        if (!EhComentario(linhas[i]) && !linhas[i].empty() && linhas[i].back() == ' ') linhas[i] += ',';
}

std::string NomeArquivo(const std::string& caminho) { return std::filesystem::path(caminho).filename().string(); }

bool MesmoNome(std::string_view a, std::string_view b) { return MaiusculasAscii(a) == MaiusculasAscii(b); }

bool Marcado(const std::vector<std::string>& marcados, std::string_view nome) {
    return std::any_of(marcados.begin(), marcados.end(), [&](const std::string& m) { return MesmoNome(m, nome); });
}

bool EhCategorico(char tipo) { return tipo == 'C' || tipo == 'D' || tipo == 'L'; }

// The code width of a table whose codes the loader reads at a fixed width (a width
// of 5 or more, or a third item "L"); 0 for the others.
std::size_t LarguraFixa(const std::string& cabecalho) {
    std::vector<std::string> itens;
    std::string resto = cabecalho, item;
    while (itens.size() < 3 && ProximaPalavra(resto, item))
        itens.push_back(item.substr(0, 4));
    if (itens.size() < 2) return 0;
    std::size_t largura = 0;
    for (char ch : itens[1]) {
        if (ch < '0' || ch > '9') return 0;
        largura = largura * 10 + static_cast<std::size_t>(ch - '0');
    }
    const char modo = itens.size() > 2 ? static_cast<char>(itens[2][0] & ~0x20) : '\0';
    if (modo == 'F') return 0;
    return modo == 'L' || largura > 4 ? largura : 0;
}

// Fixed-width codes as the loader reads them: <width> characters, optionally '-' and
// <width> more, separated by ','; the last may be shorter. Empty when the text does not
// follow that form (then the codes are split at every ',').
std::optional<std::vector<std::string>> CodigosDeLargura(std::string_view c, std::size_t w) {
    std::vector<std::string> r;
    std::size_t p = 0;
    while (p < c.size()) {
        const std::size_t ini = p;
        p = std::min(p + w, c.size());
        if (p < c.size() && c[p] == '-') p = std::min(p + 1 + w, c.size());
        r.emplace_back(c.substr(ini, p - ini));
        if (p == c.size()) break;
        if (c[p] != ',') return std::nullopt;
        ++p;
    }
    return r;
}

} // namespace

const std::string& ReguaCNV() {
    static const std::string regua = "sssnnnn  " + std::string(50, 'd') + " " + std::string(180, 'c');
    return regua;
}

std::string ReguaVisivel(int primeiraColuna) {
    const std::string& r = ReguaCNV();
    if (primeiraColuna <= 0) return r;
    return static_cast<std::size_t>(primeiraColuna) < r.size() ? r.substr(static_cast<std::size_t>(primeiraColuna))
                                                               : std::string();
}

std::string ItemCampo(const CampoDBF& c) {
    std::string s = c.Nome;
    if (s.size() < 11) s.resize(11, ' ');
    std::string tam = std::to_string(c.Tamanho);
    tam.insert(0, tam.size() < 3 ? 3 - tam.size() : 0, '0');
    return s + c.Tipo + " " + tam + " " + std::to_string(c.Decimais);
}

std::string NomeDoItem(std::string_view item) {
    return TiraBrancosDir(item.substr(0, std::min<std::size_t>(10, item.size())), EEspaco);
}

std::optional<std::vector<CampoDBF>> CamposDoArquivo(const std::string& arquivo) {
    dbfRecord h;
    OpenDBF(h, arquivo, true);
    if (h.Estado == 0) return std::nullopt;
    std::vector<CampoDBF> campos = h.Campos;
    CloseDBF(h);
    return campos;
}

std::string TextoPosicao(int linha, int coluna) { return AlinhaDireita(linha, 4) + ":" + AlinhaDireita(coluna, 4); }

// ---- DEF generator ----

std::string NomeDEFdoDBF(const std::string& arquivoDBF) {
    std::filesystem::path p(arquivoDBF);
    p.replace_extension(".DEF");
    return p.string();
}

std::vector<std::string> GeraDEF(const std::string& arquivoDBF, const std::vector<std::string>& camposMarcados,
                                 const std::vector<std::string>& cnvDisponiveis, const PerguntaLigacao& pergunta) {
    auto campos = CamposDoArquivo(arquivoDBF);
    if (!campos) return {};
    const std::string nome = NomeArquivo(arquivoDBF);
    std::vector<std::string> def{";Defini\xE7\xF5"
                                 "es para tabular o arquivo " +
                                     nome,
                                 "A" + ParaMinusculas(nome)};

    for (const CampoDBF& c : *campos) {
        if (c.Tipo != 'N' || !Marcado(camposMarcados, c.Nome)) continue;
        std::string rotulo =
            c.Nome.substr(0, 1) + ParaMinusculas(c.Nome.substr(std::min<std::size_t>(1, c.Nome.size())));
        std::replace(rotulo.begin(), rotulo.end(), '_', ' ');
        def.push_back("I" + rotulo + "," + Brancos(18 - static_cast<int>(c.Nome.size())) + c.Nome);
    }

    for (const CampoDBF& c : *campos) {
        if (!EhCategorico(c.Tipo) || !Marcado(camposMarcados, c.Nome)) continue;
        LigacaoCNV lig;
        lig.descricao = c.Nome;
        for (const std::string& cnv : cnvDisponiveis)
            if (MesmoNome(cnv, c.Nome + ".cnv")) lig.nomeCNV = cnv;
        if (!pergunta || !pergunta(c.Nome, lig) || lig.nomeCNV.empty()) continue;
        std::string campo = c.Nome;
        if (campo.size() < 10) campo.resize(10, ' ');
        const std::string corpo = lig.descricao + "," + Brancos(18 - static_cast<int>(lig.descricao.size())) + campo +
                                  "," + lig.inicio + "," + ParaMinusculas(lig.nomeCNV);
        if (lig.linhas) def.push_back("L" + corpo);
        if (lig.colunas) def.push_back("C" + corpo);
        if (lig.selecao) def.push_back("S" + corpo);
        if (lig.quadro) def.push_back("Q" + corpo);
    }
    return def;
}

// ---- CNV generator ----

namespace {
bool NomeServeParaArquivo(std::string_view nome) {
    return !nome.empty() && std::none_of(nome.begin(), nome.end(), [](char c) {
        return c == '/' || c == '\\' || static_cast<unsigned char>(c) < ' ';
    });
}
} // namespace

std::vector<std::string> LinhasCNVGerado(const std::vector<std::string>& valores, int larguraCampo) {
    std::vector<std::string> linhas;
    linhas.reserve(valores.size() + 1);
    linhas.push_back(std::to_string(valores.size()) + " " +
                     std::to_string(std::min(larguraCampo, static_cast<int>(LarguraRotulo))) + " L");
    std::int64_t k = 0;
    for (const std::string& v : valores) {
        std::string l = AlinhaDireita(++k, 7) + "  " + v + Brancos(51 - static_cast<int>(v.size())) + v;
        // The loader drops blanks and control characters at the end of a line: a ','
        // after the code keeps them.
        if (!v.empty() && static_cast<unsigned char>(v.back()) <= ' ') l += ',';
        linhas.push_back(std::move(l));
    }
    return linhas;
}

std::string MensagemCNVCheio(const std::string& arquivoCNV, const std::string& campo, long long deixados) {
    return DeUtf8(std::filesystem::path(arquivoCNV).filename().string()) + ": no m\xE1ximo " +
           std::to_string(CapacidadeCNVGerado) + " categorias; " + std::to_string(deixados) +
           (deixados == 1 ? " valor do campo " : " valores do campo ") + campo + (deixados == 1 ? " ficou" : " ficaram") +
           " de fora.";
}

ResultadoCNV GeraCNVs(const std::string& arquivoDBF, const std::vector<std::string>& camposMarcados) {
    ResultadoCNV resultado;
    dbfRecord h;
    OpenDBF(h, arquivoDBF, true);
    if (h.Estado == 0) return resultado;

    struct Tabela {
        int campo;
        TIndice indice;
        // The distinct values left out, by their hashes: a field of millions of
        // distinct values must not be kept twice just to be counted.
        std::unordered_set<std::size_t> deixados;
    };
    std::vector<Tabela> tabelas;
    for (int i = 1; i <= h.NumCampos; ++i) {
        const CampoDBF& c = h.Campo(i);
        if (!EhCategorico(c.Tipo) || !Marcado(camposMarcados, c.Nome)) continue;
        // The table is named after the field: a name that is no plain file name would
        // write it outside the DBF's folder, or under no name at all.
        if (!NomeServeParaArquivo(c.Nome)) {
            MensagensAtuais().Mostra("Campo \"" + c.Nome +
                                     "\": o nome n\xE3o serve para nome de arquivo, tabela n\xE3o gerada");
            continue;
        }
        tabelas.push_back(Tabela{i, {}, {}});
        CriaIndice(tabelas.back().indice, CapacidadeCNVGerado);
    }

    std::set<std::string> recusados;
    // The scan reads a DBC through its codec as well; deleted records come too.
    const bool lido = ScanDBF(
        h,
        [&](dbfRecord& reg) {
            for (Tabela& t : tabelas) {
                std::string_view v = VistaCampoDBF(reg, t.campo);
                v = v.substr(0, std::min(v.size(), LarguraRotulo));
                // A ';' would turn the rest of the line into a comment, a line break end it.
                if (v.find_first_of(";\n") != std::string_view::npos) {
                    recusados.emplace(v);
                    continue;
                }
                std::int32_t pos = 0, valor = 0;
                if (BuscaIndice(t.indice, v, pos, valor)) continue;
                if (t.indice.Quantidade() >= t.indice.Capacidade()) {
                    t.deixados.insert(std::hash<std::string_view>{}(v));
                    continue;
                }
                InsereIndice(t.indice, v, 0);
            }
        },
        true);
    // A damaged DBC (the scan has said why) would give tables of part of the values.
    if (!lido) {
        CloseDBF(h);
        return resultado;
    }

    const std::filesystem::path pasta = std::filesystem::path(arquivoDBF).parent_path();
    try {
        for (Tabela& t : tabelas) {
            const CampoDBF& c = h.Campo(t.campo);
            std::vector<std::string> valores;
            for (std::int32_t p = 1; p <= t.indice.Quantidade(); ++p)
                valores.push_back(t.indice.Chave(p));
            const std::string nome = (pasta / (ParaMinusculas(c.Nome) + ".cnv")).string();
            GravaArquivoInteiro(nome, JuntaLinhas(LinhasCNVGerado(valores, c.Tamanho)));
            resultado.arquivos.push_back(nome);
            LiberaIndice(t.indice);
            if (!t.deixados.empty())
                MensagensAtuais().Mostra(MensagemCNVCheio(nome, c.Nome, static_cast<long long>(t.deixados.size())));
        }
    } catch (...) {
        CloseDBF(h);
        throw;
    }
    CloseDBF(h);
    resultado.recusados.assign(recusados.begin(), recusados.end());
    return resultado;
}

// ---- CNV tools ----

void NumeraCNV(std::vector<std::string>& linhas) {
    const std::ptrdiff_t cab = AchaCabecalho(linhas);
    if (cab < 0) return;
    std::int64_t contador = 0;
    for (std::size_t i = static_cast<std::size_t>(cab) + 1; i < linhas.size(); ++i) {
        std::string& s = linhas[i];
        // Blank lines are left as they are: a number alone would make them a category line.
        if (EhComentario(s) || EhBranca(s)) continue;
        const std::string rotulo = TiraBrancosDir(Colunas(s, InicioRotulo, LarguraRotulo), EEspaco);
        if (!rotulo.empty() && rotulo != TiraBrancosDir(Colunas(linhas[i - 1], InicioRotulo, LarguraRotulo), EEspaco))
            ++contador;
        s = AlinhaDireita(contador, 7) + "  " + Colunas(s, InicioRotulo, std::string::npos);
    }
    std::string& h = linhas[static_cast<std::size_t>(cab)];
    h = h.substr(h.find_first_not_of(' '));
    const std::size_t branco = h.find(' ');
    h = std::to_string(contador) + (branco == std::string::npos ? std::string() : h.substr(branco));
}

void CompactaCNV(std::vector<std::string>& linhas) {
    const std::ptrdiff_t cab = AchaCabecalho(linhas);
    if (cab < 0) return;
    const std::size_t c = static_cast<std::size_t>(cab);
    std::vector<std::string> r(linhas.begin(), linhas.begin() + cab);
    r.push_back(TiraBrancos(linhas[c], EEspaco));
    // Codes join only the data line just before them: never a comment or the header.
    bool ultimaEhDado = false;
    std::int64_t categoria = 0;
    for (std::size_t i = c + 1; i < linhas.size(); ++i) {
        if (EhComentario(linhas[i])) {
            r.push_back(linhas[i]);
            ultimaEhDado = false;
            continue;
        }
        std::string s = LimpaLinha(linhas[i]);
        if (s.empty()) continue;
        const std::int64_t cat = CategoriaDaLinha(s);
        const std::string codigos = Colunas(s, InicioCodigos, std::string::npos);
        if (ultimaEhDado && cat == categoria && r.back().size() + 1 + codigos.size() < LimiteLinhaCNV) {
            if (!codigos.empty()) r.back() += "," + codigos;
        } else {
            r.push_back(std::move(s));
            categoria = cat;
            ultimaEhDado = true;
        }
    }
    ProtegeBrancosFinais(r, c);
    linhas = std::move(r);
}

void ExpandeCNV(std::vector<std::string>& linhas) {
    const std::ptrdiff_t cab = AchaCabecalho(linhas);
    if (cab < 0) return;
    const std::size_t c = static_cast<std::size_t>(cab);
    std::vector<std::string> r(linhas.begin(), linhas.begin() + cab);
    r.push_back(TiraBrancos(linhas[c], EEspaco));
    const std::size_t largura = LarguraFixa(r.back());
    for (std::size_t i = c + 1; i < linhas.size(); ++i) {
        if (EhComentario(linhas[i])) {
            r.push_back(linhas[i]);
            continue;
        }
        std::string s = LimpaLinha(linhas[i]);
        if (s.empty()) continue;
        std::string codigos = Colunas(s, InicioCodigos, std::string::npos);
        // A line without codes keeps its label instead of vanishing.
        if (codigos.empty()) {
            r.push_back(std::move(s));
            continue;
        }
        const std::string inicio = s.substr(0, InicioCodigos);
        if (largura > 0) {
            if (auto partes = CodigosDeLargura(codigos, largura)) {
                for (const std::string& cod : *partes)
                    r.push_back(inicio + cod);
                continue;
            }
        }
        std::size_t p = 0;
        while (p <= codigos.size()) {
            std::size_t f = std::min(codigos.find(',', p), codigos.size());
            if (f == p) break;
            r.push_back(inicio + codigos.substr(p, f - p));
            p = f + 1;
        }
    }
    ProtegeBrancosFinais(r, c);
    linhas = std::move(r);
}

// ---- text commands ----

std::string NomeProprio(std::string_view s) {
    // Small words of names that stay in lower case, by their first letter.
    static const char* const excecoes[] = {"Ao ",  "D'", "Da ", "Das ", "De ",  "Do ",
                                           "Dos ", "E ", "Em ", "Ou ",  "\xC0 "};
    std::string r = ParaMinusculas(s);
    if (r.empty()) return r;
    auto byte = [&r](std::size_t i) { return static_cast<unsigned char>(r[i]); };
    r[0] = static_cast<char>(TabMaiuscula[byte(0)]);
    for (std::size_t i = 1; i < r.size(); ++i) {
        if (byte(i) < 'A' || byte(i - 1) >= 'A') continue;
        r[i] = static_cast<char>(TabMaiuscula[byte(i)]);
        for (const char* e : excecoes) {
            if (static_cast<unsigned char>(e[0]) > byte(i)) break;
            if (r.compare(i, std::char_traits<char>::length(e), e) == 0) {
                r[i] = static_cast<char>(TabMinuscula[byte(i)]);
                break;
            }
        }
    }
    return r;
}

std::vector<std::string> LinhasImpressao(const std::vector<std::string>& linhas, int linhasPorPagina) {
    const std::size_t L = static_cast<std::size_t>(std::max(linhasPorPagina, 1));
    std::vector<std::string> r(3);
    for (std::size_t i = 0; i < linhas.size(); ++i) {
        if (i > 1 && i % L == 1) {
            r.emplace_back("\f");
            r.insert(r.end(), 3, std::string());
        }
        r.push_back(linhas[i]);
    }
    return r;
}

std::vector<std::string> DivideLinhas(std::string_view texto) {
    std::vector<std::string> r;
    std::size_t i = 0;
    while (i < texto.size()) {
        std::size_t f = texto.find_first_of("\r\n", i);
        if (f == std::string_view::npos) {
            r.emplace_back(texto.substr(i));
            break;
        }
        r.emplace_back(texto.substr(i, f - i));
        i = f + 1;
        if (texto[f] == '\r' && i < texto.size() && texto[i] == '\n') ++i;
    }
    return r;
}

std::string JuntaLinhas(const std::vector<std::string>& linhas) {
    std::string r;
    for (const std::string& l : linhas) {
        r += l;
        r += "\r\n";
    }
    return r;
}

} // namespace dorvan
