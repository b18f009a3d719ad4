// The dimension loader: the dialog line, the table lookup, and the two table
// readers (text .CNV tables and DBF tables with an optional equivalence DBF).
#include "tabulation/Utab.h"

#include "data/LeDBF32.h"
#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>

namespace dorvan {

namespace {

namespace fs = std::filesystem;

// Thrown inside the loader once ErroTabela holds the message; LeDimensao shows it.
struct FalhaCarga {
    bool jaMostrada = false;
};

[[noreturn]] void Falha(std::string mensagem, bool jaMostrada = false) {
    ErroTabela = std::move(mensagem);
    throw FalhaCarga{jaMostrada};
}

// An integer written as an optional sign and decimal digits, nothing else.
std::optional<std::int64_t> LeInteiro(std::string_view s) {
    std::size_t i = 0;
    bool negativo = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativo = s[i++] == '-';
    if (i >= s.size()) return std::nullopt;
    std::int64_t n = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        n = n * 10 + (s[i] - '0');
        if (n > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    return negativo ? -n : n;
}

std::string SemComentario(std::string_view linha) {
    return std::string(linha.substr(0, std::min(linha.find(';'), linha.size())));
}

// Lines without their CR LF or LF ends.
std::vector<std::string_view> CortaLinhas(std::string_view texto) {
    std::vector<std::string_view> linhas;
    std::size_t i = 0;
    while (i < texto.size()) {
        std::size_t f = texto.find('\n', i);
        if (f == std::string_view::npos) f = texto.size();
        std::string_view l = texto.substr(i, f - i);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        linhas.push_back(l);
        i = f + 1;
    }
    return linhas;
}

// The file a DEF names: as written, else in DirTabelas; letters in any case, '\' as '/'.
std::string AchaArquivo(const std::string& nome) {
    if (nome.empty()) return {};
    std::error_code ec;
    std::string achado = ResolveNome(nome);
    if (!achado.empty() && fs::is_regular_file(achado, ec)) return achado;
    if (DirTabelas.empty()) return {};
    std::string pasta = DirTabelas;
    if (pasta.back() != '/' && pasta.back() != '\\') pasta += '/';
    achado = ResolveNome(pasta + nome);
    if (!achado.empty() && fs::is_regular_file(achado, ec)) return achado;
    return {};
}

struct Itens {
    std::string campo;        // 1: data field (and key field of a DBF table)
    std::string inicio;       // 2: start of the code, or label field of a DBF table
    std::string tabela;       // 3: table file
    std::string chave;        // 4: key field (DBF tables with an equivalence DBF)
    std::string equivalencia; // 5: equivalence DBF
};

Itens CortaEspecificacao(std::string_view linha) {
    std::string resto = MaiusculasAscii(linha.size() > 19 ? linha.substr(19) : std::string_view());
    std::string partes[5];
    for (auto& parte : partes) {
        if (resto.empty()) break;
        CortaItem(resto, std::string::npos, parte);
        parte = TiraBrancos(parte);
    }
    Itens it;
    it.campo = partes[0].substr(0, 10);
    it.inicio = partes[1];
    it.tabela = partes[2].empty() ? partes[1] : partes[2];
    it.chave = partes[3].substr(0, 10);
    it.equivalencia = partes[4];
    return it;
}

// ---- Text tables ----

void GuardaFaixaDireta(TDimensao& d, std::uint16_t baixo, std::uint16_t alto, std::int32_t k) {
    if (baixo == CodigoForaDaTabela || alto == CodigoForaDaTabela) return;
    for (std::size_t n = baixo; n <= alto && n < d.Direta.size(); ++n)
        d.Direta[n] = k;
}

// Codes from column 61: "<code>" or "<low>-<high>" of CompCodigo bytes each, joined
// by ','; anything else after a code ends the list.
void LeCodigos(TDimensao& d, MontaIndice& chaves, std::string_view s, std::int32_t k) {
    const std::size_t w = d.CompCodigo;
    std::size_t p = 60;
    while (p < s.size()) {
        if (d.Modo == 0) {
            std::uint16_t baixo = ProximoCodigo(s, p, w);
            std::uint16_t alto = baixo;
            if (p < s.size() && s[p] == '-') {
                ++p;
                alto = ProximoCodigo(s, p, w);
            }
            GuardaFaixaDireta(d, baixo, alto, k);
        } else {
            std::string_view baixo = s.substr(p, w);
            p += w;
            if (p < s.size() && s[p] == '-') {
                ++p;
                std::string_view alto = p < s.size() ? s.substr(p, w) : std::string_view();
                p += w;
                // Bounds the wrong way round would tag a range that covers other codes.
                if (baixo <= alto) chaves.InsereFaixa(baixo, alto, k);
            } else {
                chaves.Insere(baixo, k);
            }
        }
        if (p < s.size() && s[p] == ',')
            ++p;
        else
            break;
    }
}

// The header and the lines of a CNV file; a fault ends the load through Falha.
TextoCNV LeTextoCNVOuFalha(const std::string& tabela) {
    const std::string conteudo = LeArquivoInteiro(tabela);
    const std::vector<std::string_view> linhas = CortaLinhas(conteudo);

    std::size_t cab = 0;
    std::string cabecalho;
    for (; cab < linhas.size(); ++cab) {
        cabecalho = TiraBrancos(SemComentario(linhas[cab]));
        if (!cabecalho.empty()) break;
    }
    if (cab == linhas.size()) Falha(tabela + ": Falta cabecalho (numero de categorias e largura do codigo)");

    std::vector<std::string> partes;
    for (std::size_t i = 0; i < cabecalho.size();) {
        while (i < cabecalho.size() && cabecalho[i] <= ' ' && cabecalho[i] >= 0)
            ++i;
        std::size_t f = i;
        while (f < cabecalho.size() && !(cabecalho[f] <= ' ' && cabecalho[f] >= 0))
            ++f;
        if (f > i) partes.push_back(cabecalho.substr(i, std::min<std::size_t>(f - i, 4)));
        i = f;
    }
    if (partes.size() < 2) Falha(tabela + ": Falta largura do codigo");
    auto n = LeInteiro(partes[0]);
    if (!n || *n <= 0) Falha(tabela + ": Numero de categorias nao valido");
    auto largura = LeInteiro(partes[1]);
    if (!largura || *largura <= 0) Falha(tabela + ": Comprimento do codigo nao valido");
    TextoCNV t;
    t.Modo = *largura <= 4 ? 0 : 1;
    if (partes.size() >= 3) {
        char letra = static_cast<char>(partes[2][0] & ~0x20);
        if (letra == 'L')
            t.Modo = 1;
        else if (letra == 'F')
            t.Modo = 2;
        else
            Falha(tabela + ": terceiro parametro <> \"L\" ou \"F\" = " + partes[2]);
    }
    t.NumCategorias = *n;
    t.CompCodigo = static_cast<std::uint16_t>(*largura);
    t.LinhaPrimeiraCategoria = linhas.size();
    for (std::size_t i = cab + 1; i < linhas.size(); ++i) {
        std::string s = TiraBrancosDir(SemComentario(linhas[i]));
        if (s.empty()) continue;
        if (t.Linhas.empty()) t.LinhaPrimeiraCategoria = i;
        t.Linhas.push_back(std::move(s));
    }
    return t;
}

void LeCNV(TDimensao& d, const std::string& tabela, std::int32_t maximo) {
    TextoCNV texto = LeTextoCNVOuFalha(tabela);
    d.Modo = texto.Modo;
    d.CompCodigo = texto.CompCodigo;
    d.LarguraRotulo = 50;
    if (texto.NumCategorias > maximo - 1)
        Falha(tabela + ": Numero de categorias = " + std::to_string(texto.NumCategorias) +
              " > m\xE1ximo desta dimens\xE3o que \xE9 " + std::to_string(maximo - 1));
    const auto N = static_cast<std::int32_t>(texto.NumCategorias);
    const std::size_t w = d.CompCodigo;

    d.NumCategorias = N;
    d.NomesCategoria.assign(static_cast<std::size_t>(N) + 2, std::string());
    d.Valores.assign(static_cast<std::size_t>(N) + static_cast<std::size_t>(std::max(LinhasExtras, 0)) + 2, 0);
    if (d.Modo == 0) {
        std::size_t tamanho = 27;
        for (std::size_t i = 1; i < w; ++i)
            tamanho *= 10;
        d.Direta.assign(tamanho, N + 1);
    }
    // Every code takes at least <width> bytes, so this bounds the keys stored. The
    // codes may come in any order: the key table is built sorted once at the end.
    std::int64_t capacidade = 0;
    if (d.Modo == 1) {
        for (const std::string& l : texto.Linhas)
            if (l.size() > 60) capacidade += static_cast<std::int64_t>((l.size() - 60) / w);
        capacidade += std::max(LinhasExtras, 0);
    }
    MontaIndice chaves(static_cast<std::int32_t>(std::min<std::int64_t>(capacidade, std::numeric_limits<std::int32_t>::max())));
    if (d.Modo == 2) {
        d.Limites.assign(static_cast<std::size_t>(N) + 1, std::numeric_limits<double>::quiet_NaN());
    }

    AgrupaRecusasIndice recusas;
    for (std::string& s : texto.Linhas) {
        for (std::size_t c = 0; c < 7 && c < s.size(); ++c)
            if (s[c] == ' ') s[c] = '0';
        std::string textoK = s.size() > 3 ? s.substr(3, 4) : std::string();
        auto k = LeInteiro(textoK);
        if (!k || *k < 1 || *k > N)
            Falha(tabela + " : Indice nao valido na linha " + (k ? std::to_string(*k) : TiraBrancos(textoK)));
        auto valor = LeInteiro(s.substr(0, 3));
        d.Valores[static_cast<std::size_t>(*k)] = valor ? static_cast<std::int32_t>(*valor) : -1;
        if (d.Modo != 0 && s.size() < 60 + w) Falha(tabela + " : Codigo nao valido na linha " + std::to_string(*k));
        if (d.Modo == 2) {
            auto limite = LeNumeroMaquina(TiraBrancos(std::string_view(s).substr(60, w)));
            if (!limite) Falha(tabela + " : Valor num\xE9rico nao valido na linha " + std::to_string(*k));
            d.Limites[static_cast<std::size_t>(*k)] = *limite;
        } else {
            LeCodigos(d, chaves, s, static_cast<std::int32_t>(*k));
        }
        std::string rotulo = s.size() > 9 ? TiraBrancosDir(std::string_view(s).substr(9, 50)) : std::string();
        if (!rotulo.empty()) d.NomesCategoria[static_cast<std::size_t>(*k)] = std::move(rotulo);
    }
    if (d.Modo == 1) chaves.Conclui(d.Indice);
    recusas.Conclui();
}

// ---- DBF tables ----

void AbreDBF(dbfRecord& h, const std::string& nome) {
    OpenDBF(h, nome, true);
    // OpenDBF has shown why; the loader only records that it failed.
    if (h.Estado == 0) Falha(nome + ": Tabela de conversao nao pode ser aberta", true);
    if (h.NumCampos < 1) Falha(nome + ": Tabela de conversao sem campos");
}

void LeTabelaDBF(TDimensao& d, const std::string& tabela, const Itens& it, std::int32_t maximo) {
    dbfRecord tab;
    AbreDBF(tab, tabela);
    int campoChave = FieldDBF(tab, it.campo);
    if (campoChave == 0) campoChave = 1;
    int campoRotulo = FieldDBF(tab, it.inicio);
    if (campoRotulo == 0) {
        auto numero = LeInteiro(it.inicio);
        std::int64_t n = numero ? *numero : 1;
        if (n < 1 || n > tab.NumCampos)
            Falha(tabela + ": Campo do rotulo " + it.inicio + " nao existe na tabela (" +
                  std::to_string(tab.NumCampos) + " campos)");
        campoRotulo = static_cast<int>(n);
    }
    d.Inicio = 1;
    d.CompCodigo = tab.Campo(campoChave).Tamanho;
    d.LarguraRotulo = tab.Campo(campoRotulo).Tamanho;
    if (tab.NumRegs > maximo - 1)
        Falha(tabela + ": NumRegs = " + std::to_string(tab.NumRegs) + " > Max = " + std::to_string(maximo - 1));

    dbfRecord equiv;
    int eqChave = 0, eqCodigo = 0;
    if (!it.equivalencia.empty()) {
        std::string nomeEquiv = AchaArquivo(it.equivalencia);
        if (nomeEquiv.empty()) Falha(it.equivalencia + ": arquivo nao encontrado");
        AbreDBF(equiv, nomeEquiv);
        eqChave = FieldDBF(equiv, it.chave);
        if (eqChave == 0)
            Falha(nomeEquiv + ": campo chave " + (it.chave.empty() ? std::string("(sem nome)") : it.chave) +
                  " nao encontrado na tabela de equivalencia");
        eqCodigo = FieldDBF(equiv, it.campo);
        if (eqCodigo == 0) eqCodigo = 1;
        d.CompCodigo = equiv.Campo(eqCodigo).Tamanho;
        campoChave = FieldDBF(tab, it.chave);
        if (campoChave == 0) campoChave = 1;
    }

    const std::size_t extras = static_cast<std::size_t>(std::max(LinhasExtras, 0));
    d.Modo = 1;
    // Records come in any key order: the key table is built sorted once at the end.
    MontaIndice chaves(static_cast<std::int32_t>(tab.NumRegs) + std::max(LinhasExtras, 0));
    d.NomesCategoria.assign(1, std::string());
    const bool cp850 = TextoEmCP850(tab, TabelasDBFcomCP850);

    AgrupaRecusasIndice recusas;
    std::int32_t c = 0;
    for (std::int64_t r = 1; r <= tab.NumRegs; ++r) {
        readDBF(tab, r);
        std::string_view chave = VistaCampoDBF(tab, campoChave);
        std::int32_t valor = 0;
        if (chaves.Busca(chave, valor)) continue;
        std::string rotulo(VistaCampoDBF(tab, campoRotulo));
        if (cp850) rotulo = OemParaAnsi(rotulo);
        rotulo = TiraBrancosDir(rotulo);
        if (campoRotulo != campoChave) rotulo = std::string(chave) + " " + rotulo;
        ++c;
        d.NomesCategoria.push_back(std::move(rotulo));
        chaves.Insere(chave, c);
    }
    chaves.Conclui(d.Indice);
    // No category at all would read as "nothing loaded" and classify every record as N+1.
    if (c == 0) Falha(tabela + ": Tabela de conversao vazia");
    d.NumCategorias = c;
    d.NomesCategoria.emplace_back();
    d.Valores.assign(static_cast<std::size_t>(c) + extras + 2, 0);

    if (equiv.Estado != 0) {
        MontaIndice porCodigo(static_cast<std::int32_t>(equiv.NumRegs) + 2 + std::max(LinhasExtras, 0));
        for (std::int64_t r = 1; r <= equiv.NumRegs; ++r) {
            readDBF(equiv, r);
            std::string_view codigo = VistaCampoDBF(equiv, eqCodigo);
            std::int32_t pos = 0, valor = 0;
            if (porCodigo.Busca(codigo, valor)) continue;
            if (BuscaIndice(d.Indice, VistaCampoDBF(equiv, eqChave), pos, valor)) porCodigo.Insere(codigo, valor);
        }
        porCodigo.Conclui(d.Indice);
        CloseDBF(equiv);
    }
    recusas.Conclui();
    CloseDBF(tab);
}

} // namespace

bool LeTextoCNV(const std::string& arquivo, TextoCNV& t) {
    ErroTabela.clear();
    try {
        t = LeTextoCNVOuFalha(arquivo);
        return true;
    } catch (const FalhaCarga&) {
        t = TextoCNV{};
        return false;
    }
}

bool LeDimensao(std::string_view linha, std::int32_t maximo, TDimensao& d) {
    ErroTabela.clear();
    LiberaDimensao(d);
    d = TDimensao{};
    const Itens it = CortaEspecificacao(linha);
    try {
        auto inicio = LeInteiro(it.inicio);
        d.Inicio = inicio && *inicio >= 1 && *inicio <= 0xFFFF ? static_cast<std::uint16_t>(*inicio) : 1;

        std::string tabela = AchaArquivo(it.tabela);
        if (tabela.empty()) Falha(it.tabela + ": Tabela de conversao nao encontrada");
        std::string extensao = MaiusculasAscii(fs::path(tabela).extension().string());
        if (extensao == ".CNV")
            LeCNV(d, tabela, maximo);
        else if (extensao == ".DBF")
            LeTabelaDBF(d, tabela, it, maximo);
        else
            Falha(tabela + ": Tabela de conversao deve ser .CNV ou .DBF");

        const std::int32_t N = d.NumCategorias;
        std::size_t maior = 18;
        for (std::int32_t k = 1; k <= N; ++k)
            maior = std::max(maior, d.NomesCategoria[static_cast<std::size_t>(k)].size());
        d.LarguraRotulo = static_cast<std::uint16_t>(std::min<std::size_t>(maior, 0xFFFF));
        d.Marcadas.assign(static_cast<std::size_t>(N) + 1, 0);
        d.Titulo = TiraBrancos(linha.substr(0, std::min<std::size_t>(19, linha.size())));
        d.Campo = it.campo;
        d.ArquivoTabela = tabela;
        return true;
    } catch (const FalhaCarga& f) {
        // Nothing half-built stays behind for the caller to free or to use.
        d = TDimensao{};
        if (!f.jaMostrada) MostraErroTab();
        return false;
    } catch (...) {
        d = TDimensao{};
        throw;
    }
}

} // namespace dorvan
