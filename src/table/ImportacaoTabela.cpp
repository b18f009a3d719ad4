#include "table/ImportacaoTabela.h"

#include "platform/Texto.h"
#include "table/TabelaArquivo.h"

#include "data/LeDBF32.h"
#include "data/UConvert.h"
#include "data/Ucomprim.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "platform/Texto1252.h"
#include "table/Configuracao.h"
#include "table/Utilidades.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace dorvan {

namespace {

constexpr std::size_t MaxTituloMesclado = 80;   // titles kept through a merge
constexpr std::int32_t MaxDecimaisLidos = 15;   // digits beyond a double's precision are noise
// A pasted sheet may hold thousands of rows without a label; a message box for
// each would bury the user, so only the first ones are named, the count says the rest.
constexpr std::int32_t MaxAvisosLinha = 10;

std::string Corta(std::string_view s, std::size_t n) { return std::string(s.substr(0, std::min(s.size(), n))); }

std::string SemAspasNasPontas(const std::string& s) {
    std::size_t i = 0, f = s.size();
    while (i < f && s[i] == '"') ++i;
    while (f > i && s[f - 1] == '"') --f;
    return s.substr(i, f - i);
}

std::string SemBrancosEAspas(const std::string& s) {
    std::size_t i = 0, f = s.size();
    while (i < f && (s[i] == ' ' || s[i] == '"')) ++i;
    while (f > i && (s[f - 1] == ' ' || s[f - 1] == '"')) --f;
    return s.substr(i, f - i);
}

// The lines as strings of their own: the CSV field reader takes whole strings.
std::vector<std::string> LinhasCopiadas(std::string_view texto) {
    const std::vector<std::string_view> v = QuebraLinhas(texto);
    return {v.begin(), v.end()};
}

// The label of a table line as the table reader keeps it, so keys taken from a
// table read with LeTabela find the same lines here.
std::string RotuloDoCampo(const std::string& campo) { return TiraBrancosDir(SemAspasNasPontas(campo), EEspacoOuTab); }

// A value field as the table reader takes it, and the decimals it was written
// with (the digits between the decimal mark and any exponent).
double ValorDoCampo(const std::string& campo, char marca, std::int32_t& decimais) {
    const std::string f = FiltraNumeroCSV(campo, marca);
    decimais = 0;
    std::size_t p = f.find('.');
    if (p != std::string::npos) {
        std::size_t fim = f.find_first_of("Ee", p);
        if (fim == std::string::npos) fim = f.size();
        decimais = static_cast<std::int32_t>(std::min<std::size_t>(fim - p - 1, MaxDecimaisLidos));
    }
    return ValorNumeroCSV(f);
}

// Counts and reports the rows a merge could not place.
class Rejeicoes {
public:
    void Linha(const std::string& rotulo) {
        if (++n_ <= MaxAvisosLinha) MensagensAtuais().Mostra("Linha n\xE3o encontrada:" + rotulo);
    }
    ~Rejeicoes() {
        if (n_ == 1)
            MensagensAtuais().Mostra("Rejeitado 1 registro");
        else if (n_ > 1)
            MensagensAtuais().Mostra("Rejeitados " + std::to_string(n_) + " registros");
    }

private:
    std::int32_t n_ = 0;
};

// The row that a label's key holds in chaves, or 0.
std::int32_t LinhaDaChave(const TabelaResultados& t, const TIndice& chaves, const std::string& rotulo) {
    if (rotulo.empty()) return 0;
    std::int32_t pos = 0, valor = 0;
    if (!BuscaIndice(chaves, ChaveLinha(rotulo, t.TamCodigo), pos, valor)) return 0;
    return valor >= 1 && valor <= t.NumLinhas ? valor : 0;
}

void AjustaLargura(ColunaResultados& c) {
    c.Largura = std::max(LarguraValor(c.Decimais, c.Total), static_cast<std::int32_t>(c.NomeColuna.size()) + 1);
}

// Closes a table whose changes are not to be saved: the state FechaTabela leaves.
void FechaSemPerguntar(TabelaResultados& t) {
    t.Modificada = false;
    std::string dir;
    FechaTabela(t, {}, dir, {});
}

// Keys of a merge: each new key takes the next row number; a key already present
// keeps its row, so rows sharing a code become one row and no two keys share a row.
class ChavesMescla {
public:
    ChavesMescla() { CriaIndice(indice, MaxLinhasTabela); }
    void Insere(const std::string& rotulo, std::int32_t tamCodigo) {
        if (rotulo.empty()) return;
        const std::string chave = ChaveLinha(rotulo, tamCodigo);
        std::int32_t pos = 0, valor = 0;
        if (BuscaIndice(indice, chave, pos, valor)) return;
        if (indice.Quantidade() >= indice.Capacidade()) {
            // Said once by the index itself; later keys are left out quietly.
            if (!cheio_) InsereIndice(indice, chave, indice.Quantidade() + 1);
            cheio_ = true;
            return;
        }
        InsereIndice(indice, chave, indice.Quantidade() + 1);
    }
    TIndice indice;

private:
    bool cheio_ = false;
};

} // namespace

std::string ChaveLinha(std::string_view rotulo, std::int32_t tamCodigo) {
    if (rotulo == "Total") return "TOTAL";
    // A code length of 0 would make every row one; it means no code, as 255 does.
    if (tamCodigo != SemCodigo && tamCodigo > 0 && static_cast<std::size_t>(tamCodigo) < rotulo.size())
        rotulo = rotulo.substr(0, static_cast<std::size_t>(tamCodigo));
    return MaiusculasSemAcento(rotulo);
}

std::int32_t IncluiTextoTabela(TabelaResultados& t, const TIndice& chaves, std::string_view texto,
                               const std::string& nome, char marcaDecimalTab) {
    const std::vector<std::string> linhas = LinhasCopiadas(texto);

    // Pass 1: the separator and the most fields after the label on a line.
    long long maxTab = 0, maxVirgula = 0, maxPontoVirgula = 0;
    for (const std::string& l : linhas) {
        bool aspas = false;
        long long tab = 0, virgula = 0, pontoVirgula = 0;
        for (char ch : l) {
            if (ch == '"')
                aspas = !aspas;
            else if (!aspas && ch == '\t')
                ++tab;
            else if (!aspas && ch == ',')
                ++virgula;
            else if (!aspas && ch == ';')
                ++pontoVirgula;
        }
        maxTab = std::max(maxTab, tab);
        maxVirgula = std::max(maxVirgula, virgula);
        maxPontoVirgula = std::max(maxPontoVirgula, pontoVirgula);
    }
    char sep = 0, marca = '.';
    long long quantas = 0;
    if (maxTab > 0) {
        sep = '\t';
        quantas = maxTab;
        marca = marcaDecimalTab;
    } else if (maxPontoVirgula == 0 && maxVirgula > 0) {
        sep = ',';
        quantas = maxVirgula;
        marca = '.';
    } else if (maxPontoVirgula > 0) {
        sep = ';';
        quantas = maxPontoVirgula;
        marca = ',';
    }
    if (sep == 0) return 0;

    // Pass 2: the header gives the titles of the new columns; only the columns the
    // text fills are added, and none when they would not fit in memory.
    std::size_t i = 0;
    while (i < linhas.size() && linhas[i].find(sep) == std::string::npos) ++i;
    if (i >= linhas.size()) return 0;
    const auto numNovas = ColunasPreenchidas(
        QuebraLinhas(texto), i, sep, t.CapLinhas(),
        static_cast<std::int32_t>(std::min<long long>(quantas, static_cast<long long>(MaxColunas - t.NumColunas()))));
    if (!CabeNaMemoria(t.CapLinhas(), static_cast<std::int64_t>(t.NumColunas()) + numNovas)) {
        MensagensAtuais().Mostra(MensagemNaoCabe(nome, t.CapLinhas(), static_cast<std::int64_t>(t.NumColunas()) + numNovas));
        return 0;
    }
    const std::int32_t primeira = t.NumColunas() + 1;
    {
        std::size_t cursor = 0;
        std::string campo;
        LeCampoCSV(linhas[i], cursor, sep, campo); // the label column's title
        for (std::int32_t c = 0; c < numNovas; ++c) {
            LeCampoCSV(linhas[i], cursor, sep, campo);
            if (!AcrescentaColuna(t, SemBrancosEAspas(campo), 0)) break;
        }
    }
    const std::int32_t adicionadas = t.NumColunas() - primeira + 1;
    ++i;

    // The last line of the table labelled "Total" is its totals line, as the reader has it.
    std::size_t linhaTotal = linhas.size();
    for (std::size_t k = linhas.size(); k > i; --k) {
        if (linhas[k - 1].find(sep) == std::string::npos) continue;
        std::size_t cursor = 0;
        std::string campo;
        LeCampoCSV(linhas[k - 1], cursor, sep, campo);
        if (RotuloDoCampo(campo) == "Total") linhaTotal = k - 1;
        break;
    }

    Rejeicoes rejeitadas;
    bool temTotal = false;
    for (; i < linhas.size(); ++i) {
        const std::string& l = linhas[i];
        if (l.find(sep) == std::string::npos) continue;
        std::size_t cursor = 0;
        std::string campo;
        LeCampoCSV(l, cursor, sep, campo);
        const std::string rotulo = RotuloDoCampo(campo);
        const bool total = i == linhaTotal;
        std::int32_t r = 0;
        if (!total) {
            r = LinhaDaChave(t, chaves, rotulo);
            if (r == 0) {
                rejeitadas.Linha(rotulo);
                continue;
            }
            if (t.Rotulo(r).empty()) t.Rotulo(r) = rotulo;
        }
        temTotal = temTotal || total;
        for (std::int32_t c = 0; c < adicionadas && cursor < l.size(); ++c) {
            LeCampoCSV(l, cursor, sep, campo);
            std::int32_t decimais = 0;
            const double v = ValorDoCampo(campo, marca, decimais);
            ColunaResultados& col = t.Coluna(primeira + c);
            if (total)
                col.Total = v;
            else
                t.Dado(primeira + c, r) = v;
            col.Decimais = std::max(col.Decimais, decimais);
        }
    }

    for (std::int32_t c = primeira; c <= t.NumColunas(); ++c) {
        // Text pasted from elsewhere often has no totals line: its columns are summed.
        if (!temTotal) CalculaTotal(t, c);
        AjustaLargura(t.Coluna(c));
    }
    std::int32_t n = adicionadas;
    if (n > 0 && t.NomeColuna(t.NumColunas()) == "DUMMY") {
        RemoveUltimaColuna(t);
        --n;
    }
    return n;
}

std::int32_t IncluiArquivoTabela(TabelaResultados& t, const TIndice& chaves, const std::string& arquivo,
                                 char marcaDecimalTab) {
    return IncluiTextoTabela(t, chaves, LeArquivoInteiro(arquivo), arquivo, marcaDecimalTab);
}

void JuntaTabelas(TabelaResultados& t, const TabelaResultados& aberta, const std::string& texto,
                  const std::string& nome, char marcaDecimalTab) {
    const std::int32_t tamCodigo = aberta.TamCodigo;
    ChavesMescla chaves;
    for (std::int32_t r = 1; r <= aberta.NumLinhas; ++r) chaves.Insere(aberta.Rotulo(r), tamCodigo);
    const std::int32_t existentes = chaves.indice.Quantidade();

    TabelaResultados lida;
    // A text too big to read leaves the open table as it was (the reader said why).
    if (LeTabelaDeTexto(lida, texto, nome, marcaDecimalTab).naoCabe) {
        t = aberta;
        return;
    }
    for (std::int32_t r = 1; r <= lida.NumLinhas; ++r) chaves.Insere(lida.Rotulo(r), tamCodigo);
    const std::int32_t n = chaves.indice.Quantidade();
    if (!CabeNaMemoria(n, static_cast<std::int64_t>(aberta.NumColunas()) + lida.NumColunas())) {
        MensagensAtuais().Mostra(MensagemNaoCabe(nome, n, static_cast<std::int64_t>(aberta.NumColunas()) + lida.NumColunas()));
        t = aberta;
        return;
    }
    if (n > existentes &&
        MensagensAtuais().SimOuNao("Sim ou n\xE3o?", "Novas linhas foram adicionadas. Reordenar as linhas?"))
        for (std::int32_t p = 1; p <= n; ++p) chaves.indice.DefineValor(p, p);

    FechaSemPerguntar(t);
    t.AlocaLinhas(n, n);
    t.TamCodigo = tamCodigo;
    t.NomeMapa = aberta.NomeMapa;
    t.DefineNomeColuna(0, lida.NomeColuna(0).empty() ? aberta.NomeColuna(0) : lida.NomeColuna(0));

    // The open table's columns, values as they are (not rounded through a file).
    {
        Rejeicoes rejeitadas;
        std::vector<std::int32_t> linhaDe(static_cast<std::size_t>(aberta.NumLinhas) + 1, 0);
        for (std::int32_t r = 1; r <= aberta.NumLinhas; ++r) {
            const std::int32_t destino = LinhaDaChave(t, chaves.indice, aberta.Rotulo(r));
            if (destino == 0) {
                rejeitadas.Linha(aberta.Rotulo(r));
                continue;
            }
            linhaDe[static_cast<std::size_t>(r)] = destino;
            if (t.Rotulo(destino).empty()) t.Rotulo(destino) = aberta.Rotulo(r);
        }
        for (std::int32_t c = 1; c <= aberta.NumColunas(); ++c) {
            const ColunaResultados& origem = aberta.Coluna(c);
            if (!AcrescentaColuna(t, origem.NomeColuna, origem.Decimais)) break;
            ColunaResultados& col = t.Coluna(t.NumColunas());
            col.Total = origem.Total;
            col.TipoTotal = origem.TipoTotal;
            for (std::int32_t r = 1; r <= aberta.NumLinhas; ++r)
                if (const std::int32_t destino = linhaDe[static_cast<std::size_t>(r)])
                    col.Dados[static_cast<std::size_t>(destino)] = origem.Dados[static_cast<std::size_t>(r)];
        }
        // Notes go with their cells.
        for (std::int32_t k = 1; k <= aberta.NumNotas(); ++k) {
            const Nota& nota = aberta.Notas(k);
            std::int32_t linha = nota.Linha;
            if (linha >= 1 && linha <= aberta.NumLinhas)
                linha = linhaDe[static_cast<std::size_t>(linha)];
            else if (linha != 0 && linha != LinhaTotais)
                continue;
            if ((linha == 0 && nota.Linha != 0) || nota.Coluna < 0 || nota.Coluna > t.NumColunas()) continue;
            AcrescentaNota(t, linha, nota.Coluna, nota.Texto);
        }
    }

    IncluiTextoTabela(t, chaves.indice, texto, nome, marcaDecimalTab);

    t.Titulo1 = Corta(aberta.Titulo1, MaxTituloMesclado);
    t.Titulo2 = Corta(aberta.Titulo2, MaxTituloMesclado);
    t.Rodape = Corta(aberta.Rodape, MaxTituloMesclado);
    std::size_t largura0 = t.NomeColuna(0).size();
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) largura0 = std::max(largura0, t.Rotulo(r).size());
    t.Coluna(0).Largura = static_cast<std::int32_t>(largura0);
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) AjustaLargura(t.Coluna(c));
    if (t.TamCodigo != SemCodigo) t.MostraCodigo = true;
    t.Modificada = true;
}

std::optional<std::string> LeTextoParaIncluir(const std::string& arquivo) {
    try {
        return LeArquivoInteiro(arquivo);
    } catch (const ErroES&) {
        MensagensAtuais().Mostra("Arquivo " + DeUtf8(arquivo) + " n\xE3o encontrado ");
        return std::nullopt;
    }
}

bool IncluiTabela(TabelaResultados& t, const std::string& arquivo, char marcaDecimalTab) {
    const std::optional<std::string> texto = LeTextoParaIncluir(arquivo);
    if (!texto) return false;
    const TabelaResultados aberta = t;
    FechaSemPerguntar(t);
    JuntaTabelas(t, aberta, *texto, arquivo, marcaDecimalTab);
    return true;
}

// ---- DBF fields and rows -------------------------------------------------------

namespace {

std::vector<std::string> NomesCampos(const dbfRecord& h) {
    std::vector<std::string> nomes;
    for (int i = 1; i <= h.NumCampos; ++i) nomes.push_back(h.Campo(i).Nome);
    return nomes;
}

// Closes the handle on every way out.
struct FechaDBF {
    dbfRecord& h;
    ~FechaDBF() {
        if (h.Estado != 0) {
            try {
                CloseDBF(h);
            } catch (...) {
            }
        }
    }
};

} // namespace

bool IncluiCamposDBF(TabelaResultados& t, const std::string& arquivo, const EscolheCampo& escolhe,
                     const MarcaCampos& marca, bool dbfComCP850, const std::function<void()>& aCadaMil) {
    dbfRecord h;
    OpenDBF(h, arquivo, true);
    if (h.Estado == 0) return false;
    FechaDBF fecha{h};
    const std::vector<std::string> nomes = NomesCampos(h);
    const int k = escolhe ? escolhe(nomes, "chave das linhas") : 0;
    if (k < 1 || k > h.NumCampos) return false;
    std::vector<int> marcados = marca ? marca(nomes, "campos a incluir") : std::vector<int>{};
    std::erase_if(marcados, [&h](int f) { return f < 1 || f > h.NumCampos; });
    if (marcados.empty()) {
        MensagensAtuais().Mostra(" Nenhum campo foi marcado ");
        return false;
    }

    const auto colunas = std::min<std::int64_t>(static_cast<std::int64_t>(t.NumColunas()) + marcados.size(), MaxColunas);
    if (!CabeNaMemoria(t.CapLinhas(), colunas)) {
        MensagensAtuais().Mostra(MensagemNaoCabe(arquivo, t.CapLinhas(), colunas));
        return false;
    }
    const std::int32_t primeira = t.NumColunas() + 1;
    std::vector<int> campos;
    for (int f : marcados) {
        if (!AcrescentaColuna(t, h.Campo(f).Nome, h.Campo(f).Decimais)) break;
        campos.push_back(f);
    }
    auto desfaz = [&] {
        while (t.NumColunas() >= primeira) RemoveUltimaColuna(t);
    };
    if (campos.empty()) return false;

    // Codes are compared without trailing blanks, so a code field wider than the
    // labels' code (or padded labels) still finds its row.
    const std::size_t L = t.TamCodigo != SemCodigo && t.TamCodigo > 0 ? static_cast<std::size_t>(t.TamCodigo)
                                                                     : h.Campo(k).Tamanho;
    TIndice chaves;
    CriaIndice(chaves, std::max<std::int32_t>(1, t.NumLinhas));
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        std::string chave = TiraBrancosDir(Corta(t.Rotulo(r), L), EEspacoOuTab);
        if (!chave.empty()) InsereIndice(chaves, chave, r);
    }

    const bool oem = TextoEmCP850(h, dbfComCP850);
    long long rejeitados = 0, vistos = 0;
    bool ok = false;
    try {
        ok = ScanDBF(
            h,
            [&](dbfRecord& d) {
                if (++vistos % 1000 == 0 && aCadaMil) aCadaMil();
                if (d.RegistroAtual[0] == '*') return;
                std::string chave = Corta(VistaCampoDBF(d, k), L);
                if (oem) chave = OemParaAnsi(chave);
                chave = TiraBrancosDir(std::move(chave), EEspacoOuTab);
                std::int32_t pos = 0, r = 0;
                if (chave.empty() || !BuscaIndice(chaves, chave, pos, r) || r < 1 || r > t.NumLinhas) {
                    ++rejeitados;
                    return;
                }
                for (std::size_t j = 0; j < campos.size(); ++j) {
                    const double v = LePrefixoNumerico(VistaCampoDBF(d, campos[j]));
                    if (std::isfinite(v)) t.Dado(primeira + static_cast<std::int32_t>(j), r) += v;
                }
            },
            true);
    } catch (...) {
        desfaz();
        throw;
    }
    if (!ok) {
        desfaz();
        return false;
    }
    for (std::int32_t c = primeira; c <= t.NumColunas(); ++c) {
        t.Coluna(c).TipoTotal = TipoTotal::Soma;
        CalculaTotal(t, c);
        AjustaLargura(t.Coluna(c));
    }
    if (rejeitados > 0) MensagensAtuais().Mostra(" Registros rejeitados = " + std::to_string(rejeitados));
    t.Modificada = true;
    return true;
}

bool CriaLinhasDBF(TabelaResultados& t, const std::string& arquivo, const EscolheCampo& escolhe,
                   const std::function<bool()>& fecha, bool dbfComCP850) {
    dbfRecord h;
    OpenDBF(h, arquivo, true);
    if (h.Estado == 0) return false;
    FechaDBF fechaDBF{h};
    if (h.NumRegs > MaxLinhasTabela) {
        MensagensAtuais().Mostra(" Num Regs > " + std::to_string(MaxLinhasTabela) + " ");
        return false;
    }
    const std::vector<std::string> nomes = NomesCampos(h);
    const int k = escolhe ? escolhe(nomes, "chave das linhas") : 0;
    if (k < 1 || k > h.NumCampos) return false;
    const int d = escolhe(nomes, "descri\xE7\xE3o das linhas");
    if (d < 1 || d > h.NumCampos) return false;
    if (fecha && !fecha()) return false;

    const auto n = static_cast<std::int32_t>(h.NumRegs);
    t.AlocaLinhas(n, n);
    t.ColunaOrdem = 0;
    t.OrdemDecrescente = false;
    t.DefineNomeColuna(0, h.Campo(k).Nome);
    t.Coluna(0).Largura = h.Campo(k).Tamanho + h.Campo(d).Tamanho + 1;
    const bool oem = TextoEmCP850(h, dbfComCP850);
    std::int32_t lidos = 0;
    const bool ok = ScanDBF(
        h,
        [&](dbfRecord& reg) {
            if (lidos >= n) return;
            std::string rotulo = NulosComoBrancos(VistaCampoDBF(reg, k));
            if (d != k) rotulo += " " + TiraBrancosDir(NulosComoBrancos(VistaCampoDBF(reg, d)), EEspacoOuTab);
            if (oem) rotulo = OemParaAnsi(rotulo);
            t.Rotulo(++lidos) = TiraBrancosDir(std::move(rotulo), EEspacoOuTab);
        },
        true);
    if (!ok) {
        // A damaged file gives no table rather than part of one.
        LiberaTabela(t);
        return false;
    }
    t.NumLinhas = lidos;
    t.TamCodigo = h.Campo(k).Tamanho;
    t.MostraCodigo = true;
    t.Modificada = false;
    return true;
}

// ---- clipboard -------------------------------------------------------------------

std::string TextoParaCopiar(const TabelaResultados& t, const std::string& pastaTrabalho, const GravadorTexto& grava) {
    std::string arquivo;
    if (!pastaTrabalho.empty()) {
        arquivo = pastaTrabalho;
        if (arquivo.back() != '/') arquivo += '/';
        arquivo += "ClipBoard.prn";
    } else {
        // No working folder: a name of our own, so nobody else's file is replaced.
        std::string modelo = DiretorioTemporario() + "/dorvan-copia-XXXXXX";
        const int fd = mkstemp(modelo.data());
        if (fd < 0) throw ErroES::DoSistema(modelo, errno);
        ::close(fd);
        arquivo = modelo;
    }
    struct Apaga {
        const std::string& a;
        ~Apaga() {
            std::error_code e;
            std::filesystem::remove(a, e);
        }
    } apaga{arquivo};
    grava(t, arquivo);
    const std::string conteudo = LeArquivoInteiro(arquivo);
    std::string texto;
    for (std::string_view l : QuebraLinhas(conteudo)) {
        texto += l;
        texto += '\n';
    }
    return texto;
}

bool ColaTexto(TabelaResultados& t, const TabelaResultados* aberta, const std::string& texto, const std::string& nome,
               char marcaDecimalTab) {
    if (aberta && aberta->NumLinhas > 0) {
        JuntaTabelas(t, *aberta, texto, nome, marcaDecimalTab);
    } else {
        // Too big a text was refused with its own message.
        if (LeTabelaDeTexto(t, texto, nome, marcaDecimalTab).naoCabe) return false;
        // The text came from no file, and is lost on closing unless saved.
        t.ArquivoAtual.clear();
        t.Modificada = t.NumLinhas > 0;
    }
    if (t.NumLinhas > 0) return true;
    MensagensAtuais().Mostra("Conte\xFA" "do do ClipBoard n\xE3o \xE9 uma tabela v\xE1lida");
    return false;
}

} // namespace dorvan
