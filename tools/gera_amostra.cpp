// Writes a synthetic sample for the tabulation: death-record-like DBC files, one
// per month, a DEF offering row, column, selection and increment variables with its
// help page, the CNV tables it names, a DBF conversion table and the base maps of its area tables
// (brasil.map for UF.CNV, BR.map for MUNICBR.CNV: the names the tabulation gives the
// map of those row tables). Every record and every shape is made up here.
//
//   dorvan_gera_amostra <folder> [records per month=2000] [years=3]
//   dorvan_gera_amostra <folder> --grande <records> [files=1]
//
// The second form writes <folder>/dados/GRANDE.DBF and GRANDE.DBC (or GRANDE01..nn)
// with the same layout, for the benchmarks, besides the tables and the DEF.
#include "data/LeDBF32.h"
#include "data/Ucomprim.h"
#include "maps/ArquivoMapa.h"
#include "platform/Arquivos.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

using namespace dorvan;
namespace fs = std::filesystem;

namespace {

std::string Zeros(long v, int largura) {
    std::string s = std::to_string(v);
    return std::string(static_cast<std::size_t>(std::max(0, largura - static_cast<int>(s.size()))), '0') + s;
}

std::string Ajusta(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

// One category line: value, number, label, codes (or bound) from column 61.
std::string LinhaCNV(int valor, int k, const std::string& rotulo, const std::string& codigos) {
    std::string v = valor ? std::to_string(valor) : std::string();
    std::string s = std::string(3 - v.size(), ' ') + v;
    std::string n = std::to_string(k);
    s += std::string(4 - n.size(), ' ') + n + "  " + Ajusta(rotulo, 50) + " " + codigos;
    return s;
}

void GravaTexto(const std::string& nome, const std::vector<std::string>& linhas) {
    std::string t;
    for (const auto& l : linhas) t += l + "\r\n";
    GravaArquivoInteiro(nome, t);
}

struct UF {
    int codigo;
    const char* sigla;
    const char* nome;
    int municipios;
    int coluna, linha; // tile of the state on the sample maps, line 0 the northernmost
};
const UF kUFs[] = {
    {11, "RO", "Rond\xF4nia", 52, 1, 2},          {12, "AC", "Acre", 22, 0, 2},
    {13, "AM", "Amazonas", 62, 1, 1},             {14, "RR", "Roraima", 15, 1, 0},
    {15, "PA", "Par\xE1", 144, 2, 1},             {16, "AP", "Amap\xE1", 16, 3, 0},
    {17, "TO", "Tocantins", 139, 2, 2},           {21, "MA", "Maranh\xE3o", 217, 3, 1},
    {22, "PI", "Piau\xED", 224, 3, 2},            {23, "CE", "Cear\xE1", 184, 4, 1},
    {24, "RN", "Rio Grande do Norte", 167, 5, 1}, {25, "PB", "Para\xED" "ba", 223, 5, 2},
    {26, "PE", "Pernambuco", 185, 4, 2},          {27, "AL", "Alagoas", 102, 5, 3},
    {28, "SE", "Sergipe", 75, 4, 3},              {29, "BA", "Bahia", 417, 3, 3},
    {31, "MG", "Minas Gerais", 853, 3, 4},        {32, "ES", "Esp\xEDrito Santo", 78, 4, 4},
    {33, "RJ", "Rio de Janeiro", 92, 3, 5},       {35, "SP", "S\xE3o Paulo", 645, 2, 5},
    {41, "PR", "Paran\xE1", 399, 1, 5},           {42, "SC", "Santa Catarina", 295, 1, 6},
    {43, "RS", "Rio Grande do Sul", 497, 1, 7},   {50, "MS", "Mato Grosso do Sul", 79, 1, 4},
    {51, "MT", "Mato Grosso", 141, 1, 3},         {52, "GO", "Goi\xE1s", 246, 2, 3},
    {53, "DF", "Distrito Federal", 1, 2, 4},
};

long CodigoMunicipio(const UF& e, int m) { return e.codigo * 10000L + (e.municipios == 1 ? 5 : 10 + m * 10); }
std::string NomeMunicipio(const UF& e, int m) { return "Munic\xEDpio " + Zeros(m + 1, 3) + "-" + e.sigla; }

// The sample maps, in degrees (a geographic map): every state a square tile of a
// rough layout of the country, its municipalities a grid of rectangles filling it.
// Codes and names are those the CNV labels begin with, so the map window finds each
// table row by its code.
constexpr float kLadoUF = 4.8f, kPasso = 5.0f, kOeste = -74.0f, kNorte = 5.0f;

RegistroMapa Retangulo(const std::string& codigo, const std::string& nome, float x0, float y0, float x1, float y1) {
    RegistroMapa r;
    r.Codigo = codigo;
    r.Nome = nome;
    r.Pontos = {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
    const PontoMapa rotulo = PontoInterno(r);
    r.RotuloX = rotulo.X;
    r.RotuloY = rotulo.Y;
    return r;
}

void GravaMapas(const std::string& pasta) {
    std::vector<RegistroMapa> ufs, municipios;
    for (const auto& e : kUFs) {
        const float x0 = kOeste + static_cast<float>(e.coluna) * kPasso;
        const float y1 = kNorte - static_cast<float>(e.linha) * kPasso;
        ufs.push_back(Retangulo(Zeros(e.codigo, 2), e.nome, x0, y1 - kLadoUF, x0 + kLadoUF, y1));
        const int colunas = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(e.municipios))));
        const int linhas = (e.municipios + colunas - 1) / colunas;
        const float largura = kLadoUF / static_cast<float>(colunas), altura = kLadoUF / static_cast<float>(linhas);
        for (int m = 0; m < e.municipios; ++m) {
            const float mx = x0 + static_cast<float>(m % colunas) * largura;
            const float my = y1 - static_cast<float>(m / colunas) * altura;
            municipios.push_back(Retangulo(std::to_string(CodigoMunicipio(e, m)), NomeMunicipio(e, m), mx, my - altura,
                                           mx + largura, my));
        }
    }
    GravaMapa(pasta + "/brasil.map", ufs);
    // The tabulation names the map of "MUNICBR.CNV" after its 6th and 7th characters:
    // a name without them would give a hidden ".C.map".
    GravaMapa(pasta + "/BR.map", municipios);
}

struct Capitulo {
    const char* rotulo;
    const char* faixa;
};
const Capitulo kCapitulos[] = {
    {"I.   Infecciosas e parasit\xE1rias", "A000-B999"},
    {"II.  Neoplasias", "C000-D489"},
    {"III. Sangue e imunidade", "D500-D899"},
    {"IV.  End\xF3" "crinas e metab\xF3licas", "E000-E909"},
    {"V.   Transtornos mentais", "F000-F999"},
    {"VI.  Sistema nervoso", "G000-G999"},
    {"IX.  Aparelho circulat\xF3rio", "I000-I999"},
    {"X.   Aparelho respirat\xF3rio", "J000-J999"},
    {"XI.  Aparelho digestivo", "K000-K939"},
    {"XIV. Aparelho geniturin\xE1rio", "N000-N999"},
    {"XVI. Afec\xE7\xF5" "es perinatais", "P000-P969"},
    {"XVIII.Mal definidas", "R000-R999"},
    {"XX.  Causas externas", "V010-Y989"},
};
// Causes drawn for the records, most from the chapters above, a few outside them.
const char* const kCausas[] = {"I219", "I64 ", "J189", "E149", "I10 ", "C349", "X959", "V892", "R99 ", "J449",
                               "I500", "K746", "A419", "P073", "C509", "N179", "G309", "I679", "F102", "D649",
                               "U071", "Z515"};

struct Gerador {
    std::mt19937_64 g{20261209};
    std::vector<long> municipios;
    std::uint64_t operator()() { return g(); }
};

const std::vector<CampoDBF> kCampos = {
    {"DTOBITO", 'D', 8},  {"SEXO", 'C', 1},      {"IDADE", 'C', 3},    {"RACACOR", 'C', 1},
    {"CODMUNRES", 'C', 6}, {"LOCOCOR", 'C', 1},  {"CAUSABAS", 'C', 4}, {"PESO", 'N', 5},
    {"IDADEMAE", 'N', 2}, {"VALOR", 'N', 9, 2},
};

void Registro(Gerador& g, int ano, int mes, const dbfRecord& h, std::string& r) {
    std::fill(r.begin(), r.end(), ' ');
    r[0] = g() % 300 == 0 ? '*' : ' ';
    PutFieldDBF(h, 1, Zeros(ano, 4) + Zeros(mes, 2) + Zeros(1 + static_cast<long>(g() % 28), 2), r.data());
    PutFieldDBF(h, 2, std::string(1, "1212129"[g() % 7]), r.data());
    unsigned anos = static_cast<unsigned>(std::min<std::uint64_t>(g() % 100, g() % 105));
    bool bebe = g() % 40 == 0;
    std::string idade = bebe ? "3" + Zeros(static_cast<long>(g() % 12), 2) : "4" + Zeros(anos, 2);
    if (g() % 200 == 0) idade = "999";
    PutFieldDBF(h, 3, idade, r.data());
    PutFieldDBF(h, 4, std::string(1, "1234159"[g() % 7]), r.data());
    long mun = g.municipios[std::min<std::size_t>(g() % g.municipios.size(), g() % g.municipios.size())];
    PutFieldDBF(h, 5, std::to_string(mun), r.data());
    PutFieldDBF(h, 6, std::string(1, "1112345699"[g() % 10]), r.data());
    PutFieldDBF(h, 7, kCausas[std::min<std::size_t>(g() % 22, g() % 22)], r.data());
    PutFieldDBF(h, 8, bebe ? std::to_string(500 + g() % 4000) : "", r.data());
    PutFieldDBF(h, 9, bebe ? std::to_string(14 + g() % 32) : "", r.data());
    PutFieldDBF(h, 10, std::to_string(g() % 100000) + "." + Zeros(static_cast<long>(g() % 100), 2), r.data());
}

void GravaDBF(Gerador& g, const std::string& nome, long n, int ano, int mes) {
    dbfRecord h;
    CreateDBF(h, nome, kCampos, 3);
    std::string r(h.TamRegistro, ' ');
    for (long i = 0; i < n; ++i) {
        Registro(g, ano == 0 ? 2019 + static_cast<int>(g() % 5) : ano, mes == 0 ? 1 + static_cast<int>(g() % 12) : mes,
                 h, r);
        AppendDBF(h, r.data());
    }
    CloseDBF(h);
}

void GravaTabelas(const std::string& pasta, Gerador& g) {
    std::vector<std::string> munic{"", ""}, uf{std::to_string(std::size(kUFs)) + " 2"};
    int k = 0, u = 0;
    for (const auto& e : kUFs) {
        uf.push_back(LinhaCNV(0, ++u, Zeros(e.codigo, 2) + " " + e.nome, Zeros(e.codigo, 2)));
        for (int m = 0; m < e.municipios; ++m) {
            long codigo = CodigoMunicipio(e, m);
            g.municipios.push_back(codigo);
            munic.push_back(LinhaCNV(0, ++k, std::to_string(codigo) + " " + NomeMunicipio(e, m), std::to_string(codigo)));
        }
    }
    munic[0] = "; Munic\xEDpios de resid\xEAncia (c\xF3" "digos sint\xE9ticos)";
    munic[1] = std::to_string(k) + " 6 L";
    GravaTexto(pasta + "/MUNICBR.CNV", munic);
    GravaTexto(pasta + "/UF.CNV", uf);

    GravaTexto(pasta + "/SEXO.CNV", {"; Sexo", "3 1", LinhaCNV(0, 1, "Masculino", "1"), LinhaCNV(0, 2, "Feminino", "2"),
                                     LinhaCNV(0, 3, "Ignorado", "0,9")});
    GravaTexto(pasta + "/RACA.CNV",
               {"6 1", LinhaCNV(0, 1, "Branca", "1"), LinhaCNV(0, 2, "Preta", "2"), LinhaCNV(0, 3, "Amarela", "3"),
                LinhaCNV(0, 4, "Parda", "4"), LinhaCNV(0, 5, "Ind\xEDgena", "5"), LinhaCNV(0, 6, "Ignorada", "9")});
    // Age groups with a subtotal row: "Menor de 1 ano" and "1 a 4 anos" add into "0 a 4 anos".
    GravaTexto(pasta + "/FXETARIA.CNV",
               {"; Faixa et\xE1ria (c\xF3" "digo 3xx meses, 4xx anos)", "10 3 L",
                LinhaCNV(0, 1, "0 a 4 anos", "998"), LinhaCNV(1, 2, "Menor de 1 ano", "000-399,400"),
                LinhaCNV(1, 3, "1 a 4 anos", "401-404"), LinhaCNV(0, 4, "5 a 14 anos", "405-414"),
                LinhaCNV(0, 5, "15 a 29 anos", "415-429"), LinhaCNV(0, 6, "30 a 49 anos", "430-449"),
                LinhaCNV(0, 7, "50 a 64 anos", "450-464"), LinhaCNV(0, 8, "65 a 79 anos", "465-479"),
                LinhaCNV(0, 9, "80 anos e mais", "480-599"), LinhaCNV(0, 10, "Idade ignorada", "999")});
    std::vector<std::string> cap{"; Cap\xEDtulos da classifica\xE7\xE3o de causas", std::to_string(std::size(kCapitulos)) + " 4 L"};
    k = 0;
    for (const auto& c : kCapitulos) cap.push_back(LinhaCNV(0, ++k, c.rotulo, c.faixa));
    GravaTexto(pasta + "/CAPITULO.CNV", cap);
    std::vector<std::string> ano{"5 4"};
    for (int a = 2019; a <= 2023; ++a) ano.push_back(LinhaCNV(0, a - 2018, std::to_string(a), std::to_string(a)));
    GravaTexto(pasta + "/ANO.CNV", ano);
    static const char* const meses[] = {"Janeiro", "Fevereiro", "Mar\xE7o",    "Abril",   "Maio",     "Junho",
                                        "Julho",   "Agosto",    "Setembro", "Outubro", "Novembro", "Dezembro"};
    std::vector<std::string> mes{"12 2"};
    for (int m = 1; m <= 12; ++m) mes.push_back(LinhaCNV(0, m, meses[m - 1], Zeros(m, 2)));
    GravaTexto(pasta + "/MES.CNV", mes);
    GravaTexto(pasta + "/VALOR.CNV", {"; Faixas de valor (limites superiores)", "4 8 F",
                                      LinhaCNV(0, 1, "At\xE9 1.000", "00001000"), LinhaCNV(0, 2, "1.000 a 10.000", "00010000"),
                                      LinhaCNV(0, 3, "10.000 a 50.000", "00050000"),
                                      LinhaCNV(0, 4, "Mais de 50.000", "99999999")});
    // A DBF conversion table: code field named like the data field, label field NOME.
    dbfRecord t;
    CreateDBF(t, pasta + "/LOCOCOR.DBF", {{"LOCOCOR", 'C', 1}, {"NOME", 'C', 30}}, 3);
    std::string r(t.TamRegistro, ' ');
    const std::pair<const char*, const char*> locais[] = {{"1", "Hospital"}, {"2", "Outro estab. de sa\xFA" "de"},
                                                          {"3", "Domic\xEDlio"}, {"4", "Via p\xFA" "blica"},
                                                          {"5", "Outros"}, {"9", "Ignorado"}};
    for (const auto& [c, n] : locais) {
        std::fill(r.begin(), r.end(), ' ');
        PutFieldDBF(t, 1, c, r.data());
        PutFieldDBF(t, 2, n, r.data());
        AppendDBF(t, r.data());
    }
    CloseDBF(t);
}

// The DEF's own help page, opened by the tabulation dialog's "Ajuda" button.
void GravaAjudaDEF(const std::string& pasta) {
    GravaTexto(pasta + "/obitos.htm",
               {"<!DOCTYPE html>", "<html lang=\"pt-BR\"><head><meta charset=\"windows-1252\">",
                "<title>\xD3" "bitos - amostra sint\xE9tica</title></head><body>",
                "<h1>\xD3" "bitos - amostra sint\xE9tica do Dorvan</h1>",
                "<p>Registros inventados, parecidos com declara\xE7\xF5" "es de \xF3" "bito: um arquivo por m\xEA" "s em "
                "<code>dados</code>.</p>",
                "<ul><li><b>Linhas</b>: munic\xED" "pio, UF, sexo, faixa et\xE1ria, cap\xED" "tulo de causas, cor/ra\xE7" "a, "
                "faixa de valor.</li>",
                "<li><b>Colunas</b>: UF, sexo, faixa et\xE1ria, cap\xED" "tulo de causas, cor/ra\xE7" "a, ano e m\xEA" "s do "
                "\xF3" "bito.</li>",
                "<li><b>Sele\xE7\xF5" "es</b>: UF, sexo, cor/ra\xE7" "a, local de ocorr\xEA" "ncia.</li>",
                "<li><b>Incrementos</b>: peso ao nascer, idade da m\xE3" "e, valor.</li></ul>",
                "<p>As tabelas de UF e munic\xED" "pio t\xEA" "m mapas: depois de tabular por elas, use o bot\xE3" "o Mapa.</p>",
                "</body></html>"});
}

void GravaDEF(const std::string& pasta, const std::string& curinga) {
    GravaAjudaDEF(pasta);
    GravaTexto(pasta + "/obitos.def",
               {";\xD3" "bitos - amostra sint\xE9tica do Dorvan", "?obitos.htm", "A" + curinga,
                "LMunic\xEDpio,CODMUNRES,1,MUNICBR.CNV", "XUF resid\xEAncia,CODMUNRES,1,UF.CNV",
                "XSexo,SEXO,1,SEXO.CNV", "TFaixa et\xE1ria,IDADE,1,FXETARIA.CNV",
                "TCap\xEDtulo de causas,CAUSABAS,1,CAPITULO.CNV", "XCor/ra\xE7" "a,RACACOR,1,RACA.CNV",
                "CAno do \xF3" "bito,DTOBITO,1,ANO.CNV", "CM\xEAs do \xF3" "bito,DTOBITO,5,MES.CNV",
                "SLocal ocorr\xEAncia,LOCOCOR,NOME,LOCOCOR.DBF", "LFaixa de valor,VALOR,1,VALOR.CNV",
                "IPeso ao nascer (g),PESO", "IIdade da m\xE3" "e,IDADEMAE", "IValor,VALOR", "G (\xF3" "bitos)",
                "RFonte: amostra sint\xE9tica do Dorvan - Per\xEDodo"});
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "uso: %s <pasta> [registros por mes=2000] [anos=3]\n"
                             "     %s <pasta> --grande <registros> [arquivos=1]\n", argv[0], argv[0]);
        return 2;
    }
    const std::string pasta = argv[1];
    fs::create_directories(pasta + "/dados");
    Gerador g;
    try {
        GravaTabelas(pasta, g);
        GravaMapas(pasta);
        if (argc > 2 && std::string(argv[2]) == "--grande") {
            long n = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 2000000;
            int arquivos = argc > 4 ? std::atoi(argv[4]) : 1;
            GravaDEF(pasta, "dados\\GRANDE*.DB?");
            for (int f = 0; f < arquivos; ++f) {
                std::string base = pasta + "/dados/GRANDE" + (arquivos > 1 ? Zeros(f + 1, 2) : std::string());
                GravaDBF(g, base + ".DBF", n, 0, 0);
                if (!ComprimeDBF(base + ".DBF", base + ".DBC", SemProgresso(), false).Ok()) return 1;
                std::printf("%s.DBF e .DBC: %ld registros\n", base.c_str(), n);
            }
            return 0;
        }
        long porMes = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 2000;
        int anos = argc > 3 ? std::atoi(argv[3]) : 3;
        GravaDEF(pasta, "dados\\DO*.DBC");
        for (int a = 0; a < anos; ++a)
            for (int m = 1; m <= 12; ++m) {
                std::string base = pasta + "/dados/DO" + Zeros((2019 + a) % 100, 2) + Zeros(m, 2);
                GravaDBF(g, base + ".DBF", porMes, 2019 + a, m);
                if (!ComprimeDBF(base + ".DBF", base + ".DBC", SemProgresso(), false).Ok()) return 1;
                fs::remove(base + ".DBF");
            }
        std::printf("%s: %d arquivos DBC de %ld registros, obitos.def, tabelas e mapas\n", pasta.c_str(), anos * 12, porMes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
