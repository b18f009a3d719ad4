#include "query/ConsultaDBF.h"

#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "query/ExecutaConsulta.h"
#include "support/ApoioTeste.h"
#include "tabulation/Utab.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace dorvan {
namespace {

namespace fs = std::filesystem;

// An SQLITE alias over that file, made (empty) when missing.
void AliasSQLite(MotorBD& motor, const std::string& nome, const std::string& arquivo) {
    ASSERT_EQ(teste::Executa("sqlite3 '" + arquivo + "' 'PRAGMA user_version = 1'"), 0);
    motor.DefineAlias({nome, DriverSQLite, arquivo, "", 0, "", ""});
}

TEST(ConsultaDBF, NomesDeCampoLimpos) {
    EXPECT_EQ(NomeCampoConsulta("Regi\xE3o da a\xE7\xE3o"), "REGIAO_DA_");
    EXPECT_EQ(NomeCampoConsulta("dt_nasc"), "DT_NASC");
    EXPECT_EQ(NomeCampoConsulta("count(*)"), "COUNT___");
    // Two names equal in their first ten characters stay equal: the file takes both.
    EXPECT_EQ(NomeCampoConsulta("populacao_2010"), NomeCampoConsulta("populacao_2020"));
}

TEST(ConsultaDBF, TiposDosCamposPeloTipoDoResultadoEPelosValores) {
    struct Caso {
        CampoBD c;
        std::vector<std::pair<std::string, TipoCampo>> valores;
        char tipo;
        int tamanho, decimais;
        std::string nome;
    };
    const auto T = TipoCampo::Texto;
    const auto I = TipoCampo::Inteiro64;
    const auto R = TipoCampo::Real;
    const std::vector<Caso> casos = {
        {{"nome", T, 30}, {{"Ana", T}}, 'C', 30, 0, "NOME"},
        // No declared width: the longest value.
        {{"t", T, 0}, {{"SP", T}, {"RJ", T}}, 'C', 2, 0, "T"},
        {{"t", T, 0}, {}, 'C', 1, 0, "T"},
        {{"t", T, 0}, {{std::string(300, 'x'), T}}, 'C', 254, 0, "T"},
        // Dates by name only when every value is a real date.
        {{"DT_NASC", T, 0}, {{"2024-02-29", T}, {"20230101", T}}, 'D', 8, 0, "DT_NASC"},
        {{"data_obito", T, 0}, {{"2023-02-29", T}}, 'C', 10, 0, "DATA_OBITO"},
        {{"dt_x", T, 0}, {{"ignorado", T}}, 'C', 8, 0, "DT_X"},
        {{"VL_TOTAL", T, 12}, {{"12.5", T}, {"-3", T}}, 'N', 4, 1, "VL_TOTAL"},
        {{"qt_casos", TipoCampo::VarBytes, 6}, {{"7", T}}, 'N', 1, 0, "QT_CASOS"},
        {{"qt_casos", T, 6}, {{"sete", T}}, 'C', 6, 0, "QT_CASOS"},
        // Integers: the width of their size, wider when a value needs it.
        {{"i", TipoCampo::Inteiro16, 2}, {{"-32768", I}}, 'N', 6, 0, "I"},
        {{"i", TipoCampo::Inteiro16, 2}, {{"7", I}}, 'N', 5, 0, "I"},
        {{"w", TipoCampo::Palavra, 2}, {}, 'N', 5, 0, "W"},
        {{"i", TipoCampo::Inteiro, 4}, {{"12345678901", I}}, 'N', 11, 0, "I"},
        {{"i", TipoCampo::Inteiro64, 8}, {{"1", I}}, 'N', 20, 0, "I"},
        // SQLite: a column typed by name as text holding integers or reals.
        {{"smallint_col", T, 0}, {{"3", I}, {"-4", I}}, 'N', 10, 0, "SMALLINT_C"},
        {{"x", TipoCampo::Desconhecido, 0}, {{"1.25", R}, {"3", I}}, 'N', 16, 2, "X"},
        {{"b", TipoCampo::Logico, 1}, {{"true", TipoCampo::Logico}}, 'L', 1, 0, "B"},
        // Reals get the decimals their values need.
        {{"r", R, 8}, {{"1.5", R}, {"-0.5", R}, {"0.125", R}}, 'N', 16, 3, "R"},
        {{"r", R, 8}, {{"123456789012345.5", R}}, 'N', 17, 1, "R"},
        {{"r", R, 8}, {{"0.00000000000000000001", R}}, 'N', 17, 15, "R"},
        {{"m", TipoCampo::Moeda, 8}, {{"3", R}}, 'N', 16, 2, "M"},
        {{"n", TipoCampo::BCD, 4}, {{"12.30", T}}, 'N', 17, 2, "N"},
        {{"r", R, 8}, {{"NaN", T}}, 'C', 8, 0, "R"},
        {{"d", TipoCampo::Data, 4}, {{"2024-01-05", TipoCampo::Data}}, 'D', 8, 0, "D"},
        // Times and timestamps keep every character.
        {{"h", TipoCampo::Hora, 4}, {{"10:20:30.500", TipoCampo::Hora}}, 'C', 12, 0, "H"},
        {{"h", TipoCampo::DataHora, 8}, {{"2024-01-05 10:20:30", TipoCampo::DataHora}}, 'C', 19, 0, "H"},
    };
    for (const Caso& c : casos) {
        PerfilColuna p;
        for (const auto& [t, tipo] : c.valores)
            ObservaValor(p, t, tipo);
        const CampoDBF f = CampoDaConsulta(c.c, p);
        const std::string qual = c.c.nome + (c.valores.empty() ? "" : " " + c.valores[0].first.substr(0, 20));
        EXPECT_EQ(f.Nome, c.nome);
        EXPECT_EQ(f.Tipo, c.tipo) << qual;
        EXPECT_EQ(f.Tamanho, c.tamanho) << qual;
        EXPECT_EQ(f.Decimais, c.decimais) << qual;
    }
}

TEST(ConsultaDBF, ValoresNoCampoExatosOuContadosComoCortados) {
    auto campo = [](char tipo, int tamanho, int decimais) {
        CampoDBF f;
        f.Tipo = tipo;
        f.Tamanho = static_cast<std::uint8_t>(tamanho);
        f.Decimais = static_cast<std::uint8_t>(decimais);
        return f;
    };
    bool cortado = false;
    EXPECT_EQ(ValorParaCampo(campo('N', 16, 3), "1.5", cortado), "1.500");
    EXPECT_EQ(ValorParaCampo(campo('N', 16, 3), "-0.5", cortado), "-0.500");
    EXPECT_EQ(ValorParaCampo(campo('N', 16, 2), ".25", cortado), "0.25");
    EXPECT_EQ(ValorParaCampo(campo('N', 16, 0), "-0", cortado), "0");
    EXPECT_EQ(ValorParaCampo(campo('D', 8, 0), "2024-01-05", cortado), "20240105");
    EXPECT_EQ(ValorParaCampo(campo('L', 1, 0), "false", cortado), "F");
    EXPECT_EQ(ValorParaCampo(campo('L', 1, 0), "1", cortado), "T");
    EXPECT_EQ(ValorParaCampo(campo('C', 5, 0), "S\xE3o P", cortado), "S\xE3o P");
    EXPECT_FALSE(cortado);
    EXPECT_EQ(ValorParaCampo(campo('N', 17, 15), "0.00000000000000000001", cortado), "0.000000000000000");
    EXPECT_TRUE(cortado);
    cortado = false;
    EXPECT_EQ(ValorParaCampo(campo('C', 3, 0), "abcd", cortado), "abc");
    EXPECT_TRUE(cortado);
}

// Decimals beyond the field's are rounded, not cut; a value the field cannot hold
// is counted, never left blank unseen.
TEST(ConsultaDBF, DecimaisArredondadosEValorSemLugarContado) {
    auto campo = [](char tipo, int tamanho, int decimais) {
        CampoDBF f;
        f.Tipo = tipo;
        f.Tamanho = static_cast<std::uint8_t>(tamanho);
        f.Decimais = static_cast<std::uint8_t>(decimais);
        return f;
    };
    struct Caso {
        CampoDBF f;
        std::string valor, esperado;
        bool cortado;
    };
    const std::vector<Caso> casos = {
        {campo('N', 16, 2), "0.125", "0.13", true},
        {campo('N', 16, 2), "-2.675", "-2.68", true},
        {campo('N', 16, 2), "1.004", "1.00", true},
        {campo('N', 16, 0), "2.5", "3", true},
        {campo('N', 16, 2), "99.999", "100.00", true},
        {campo('N', 16, 2), "-0.001", "0.00", true},
        {campo('N', 4, 2), "9.999", "", true},
        {campo('D', 8, 0), "10000-01-01", "", true},
        {campo('D', 8, 0), "", "", false},
    };
    for (const Caso& c : casos) {
        bool cortado = false;
        EXPECT_EQ(ValorParaCampo(c.f, c.valor, cortado), c.esperado) << c.valor;
        EXPECT_EQ(cortado, c.cortado) << c.valor;
    }
    // A field sized for values whose rounding carries into another digit holds them.
    PerfilColuna p;
    ObservaValor(p, "9.99999999999999999", TipoCampo::Real);
    const CampoDBF f = CampoDaConsulta({"r", TipoCampo::Real, 8}, p);
    bool cortado = false;
    EXPECT_EQ(ValorParaCampo(f, "9.99999999999999999", cortado), "10.000000000000000");
}

class ConsultaParaDBF : public ::testing::Test {
protected:
    void SetUp() override {
        // Qt loads its SQL drivers only under an application object.
        teste::GaranteAplicacao();
        ASSERT_EQ(teste::Executa("sqlite3 '" + (pasta / "dorvan.sqlite") +
                                 "' \"CREATE TABLE casos (nome TEXT, obitos INTEGER, taxa REAL);"
                                 "INSERT INTO casos VALUES ('Adamantina', 3, 1.5);"
                                 "INSERT INTO casos VALUES ('Adolfo', 7, 0.25);\""),
                  0);
        ASSERT_EQ(motor.Inicia(), 0);
        AliasSQLite(motor, "Saude", pasta / "dorvan.sqlite");
        apoio.Mostra = [this](const std::string& t) { label = t; };
    }
    teste::PastaTemporaria pasta;
    MotorBD motor{pasta / "Aliases.ini"};
    ApoioGravaDBF apoio;
    std::string label;
};

TEST_F(ConsultaParaDBF, LinhasDoSelectViramRegistros) {
    const std::string dbf = pasta / "saida.dbf";
    ASSERT_TRUE(
        GravaConsultaDBF(motor, "Saude", dbf, "", {"select nome, obitos, taxa", "from casos order by 1"}, "", apoio));
    EXPECT_EQ(label, "Executado em 0 minutos e 0 segundos");
    dbfRecord h;
    OpenDBF(h, dbf, true);
    ASSERT_EQ(h.NumRegs, 2);
    EXPECT_EQ(h.Idioma, 3);
    ASSERT_EQ(h.NumCampos, 3);
    EXPECT_EQ(h.Campo(1).Nome, "NOME");
    EXPECT_EQ(h.Campo(2).Tipo, 'N');
    readDBF(h, 2);
    EXPECT_EQ(GetFieldDBF(h, 1).substr(0, 7), "Adolfo ");
    EXPECT_EQ(GetFieldDBF(h, 2).substr(GetFieldDBF(h, 2).size() - 2), " 7");
    std::string t = GetFieldDBF(h, 3);
    EXPECT_EQ(t.substr(t.find_first_not_of(' ')), "0.25");
    // R's reader of dBase files takes the same two rows.
    std::string saida;
    ASSERT_EQ(teste::Executa("Rscript -e 'd<-foreign::read.dbf(\"" + dbf + "\"); cat(nrow(d), d$OBITOS)'", &saida), 0);
    EXPECT_EQ(saida, "2 3 7");
}

TEST_F(ConsultaParaDBF, SemLinhasNaoGravaEAvisa) {
    EXPECT_FALSE(
        GravaConsultaDBF(motor, "Saude", pasta / "v.dbf", "", {"select * from casos where obitos > 99"}, "", apoio));
    EXPECT_EQ(label, "Nenhum registro selecionado!!");
    EXPECT_FALSE(std::filesystem::exists(pasta / "v.dbf"));
}

TEST_F(ConsultaParaDBF, ParametroPerguntadoQuandoSemValor) {
    std::vector<std::string> perguntas;
    std::optional<std::string> resposta = "Adolfo";
    apoio.PerguntaParametro = [&](const std::string& n) {
        perguntas.push_back(n);
        return resposta;
    };
    const std::vector<std::string> sql = {"select obitos from casos where nome = :cidade"};
    ASSERT_TRUE(GravaConsultaDBF(motor, "Saude", pasta / "p.dbf", " cidade ", sql, "", apoio));
    EXPECT_EQ(perguntas, std::vector<std::string>{"cidade"});
    ASSERT_TRUE(GravaConsultaDBF(motor, "Saude", pasta / "q.dbf", "cidade", sql, "Adamantina", apoio));
    EXPECT_EQ(perguntas.size(), 1u);
    dbfRecord h;
    OpenDBF(h, pasta / "q.dbf", true);
    ASSERT_EQ(h.NumRegs, 1);
    readDBF(h, 1);
    EXPECT_EQ(GetFieldDBF(h, 1).back(), '3');
    resposta.reset();
    EXPECT_FALSE(GravaConsultaDBF(motor, "Saude", pasta / "r.dbf", "cidade", sql, "", apoio));
    EXPECT_FALSE(std::filesystem::exists(pasta / "r.dbf"));
}

// In safe mode the engine itself refuses to write, whatever the first line says.
TEST_F(ConsultaParaDBF, ModoSeguroDeixaOBancoRecusarGravacoes) {
    const std::vector<std::string> sql = {
        "with tres as (select 3) delete from casos where obitos in tres returning nome -- select"};
    try {
        GravaConsultaDBF(motor, "Saude", pasta / "s.dbf", "", sql, "", apoio);
        ADD_FAILURE() << "no error";
    } catch (const ErroBD& e) {
        EXPECT_NE(std::string(e.what()).find("readonly"), std::string::npos) << e.what();
    }
    std::string n;
    ASSERT_EQ(teste::Executa("sqlite3 '" + (pasta / "dorvan.sqlite") + "' 'select count(*) from casos'", &n), 0);
    EXPECT_EQ(n, "2\n");
    apoio.ModoSeguro = false;
    ASSERT_TRUE(GravaConsultaDBF(motor, "Saude", pasta / "s.dbf", "", sql, "", apoio));
    ASSERT_EQ(teste::Executa("sqlite3 '" + (pasta / "dorvan.sqlite") + "' 'select count(*) from casos'", &n), 0);
    EXPECT_EQ(n, "1\n");
}

TEST(ConsultaDBF, LoteDeConsultas) {
    teste::PastaTemporaria p;
    const std::string lote = p.Grava("lote.txt", "# comentario\r\n"
                                                 "\r\n"
                                                 "conecta  Saude \r\n"
                                                 "ANO=2024\r\n"
                                                 "INFORME UF\r\n"
                                                 "casos.sql, casosANO_UF.dbf, UF\r\n"
                                                 "obitos.sql ,obitos.dbf\r\n"
                                                 "falha.sql\r\n");
    std::vector<std::string> eventos;
    ApoioLote apoio;
    apoio.Conecta = [&](const std::string& a) { eventos.push_back("conecta " + a); };
    apoio.Pergunta = [&](const std::string& n) {
        eventos.push_back("pergunta " + n);
        return std::optional<std::string>(" SP ");
    };
    apoio.Executa = [&](const std::string& c, const std::string& d, const std::string& v) {
        eventos.push_back(c + "|" + d + "|" + v);
        return c != "falha.sql";
    };
    const std::string r = ExecutaLote(lote, apoio);
    EXPECT_EQ(eventos, (std::vector<std::string>{"conecta Saude", "pergunta UF", "casos.sql|casos2024_SP.dbf|SP",
                                                 "obitos.sql|obitos.dbf|", "falha.sql||"}));
    EXPECT_EQ(r, "2 arquivos gravados em 0:0 minutos");
}

TEST(ConsultaDBF, LoteParaQuandoOParametroECancelado) {
    teste::PastaTemporaria p;
    const std::string lote = p.Grava("lote.txt", "INFORME UF\na.sql,a.dbf\n");
    int executados = 0;
    ApoioLote apoio;
    apoio.Pergunta = [](const std::string&) { return std::optional<std::string>(); };
    apoio.Executa = [&](const std::string&, const std::string&, const std::string&) { return ++executados > 0; };
    EXPECT_EQ(ExecutaLote(lote, apoio), "0 arquivos gravados em 0:0 minutos");
    EXPECT_EQ(executados, 0);
}

TEST(ConsultaDBF, CondicaoDeUmaLinhaDeCNV) {
    auto linha = [](const std::string& codigos) { return "      1  " + std::string(51, 'x') + codigos; };
    struct Caso {
        std::string codigos;
        std::string esperado;
    };
    const std::vector<Caso> casos = {
        {"01,02,05-09", " uf between '05' and '09'  or  uf in('01','02') "},
        {"05-09,11-12,", " uf between '05' and '09'  or  uf between '11' and '12' "},
        {"35   ", " uf = '35' "},
        {"35;comentario", " uf = '35' "},
        {"35,", " uf = '35' "},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(CondicaoCNV(linha(c.codigos), 2, "uf"), c.esperado) << c.codigos;
}

// A CNV of width 2: header, a comment, a blank line and three categories.
std::string CNVExemplo(teste::PastaTemporaria& p) {
    auto linha = [](const std::string& n, const std::string& rotulo, const std::string& codigos) {
        std::string l = std::string(7 - n.size(), ' ') + n + "  " + rotulo;
        l.resize(60, ' ');
        return l + codigos;
    };
    return p.Grava("regiao.cnv", "3 2\r\n; comentario\r\n\r\n" + linha("1", "Norte", "11-17") + "\r\n" +
                                     linha("2", "Sudeste", "31,35") + "\r\n" + linha("3", "D'Oeste", "50") + "\r\n");
}

TEST(ConsultaDBF, CaseEmLinhasComGroupByPorDialeto) {
    teste::PastaTemporaria p;
    const TabelaCNVCase cnv = LeCNVParaCase(CNVExemplo(p));
    EXPECT_EQ(cnv.numCategorias, 3);
    EXPECT_EQ(cnv.largura, 2);
    ASSERT_EQ(cnv.linhas.size(), 3u);
    PedidoCase ped;
    ped.expressao = "uf";
    ped.tabela = "casos";
    ped.arquivoCNV = p / "regiao.cnv";
    const std::vector<std::string> casos = {"  case", "    when uf between '11' and '17' then 'Norte'",
                                            "    when uf in('31','35') then 'Sudeste'",
                                            "    when uf = '50' then 'D''Oeste'", "    else '~ N\xE3o classificado'"};
    CaseEmLinhas r = CaseLinhas(cnv, ped);
    std::vector<std::string> esperado = casos;
    for (const char* l : {"  end as \"regiao\",", "  count(*) as Total", "from casos", "group by 1", "order by 1"})
        esperado.push_back(l);
    EXPECT_TRUE(r.substituiEditor);
    EXPECT_EQ(r.linhas, esperado);
    EXPECT_EQ(r.linhas[static_cast<std::size_t>(r.linhaCursor)], "  count(*) as Total");

    ped.oracle = true;
    ped.naoClassificados = NaoClassificados::Discriminar;
    ped.colunaJanela = "uf";
    r = CaseLinhas(cnv, ped);
    ASSERT_EQ(r.linhas.size(), 5u + 4u + 5u + 2u);
    EXPECT_EQ(r.linhas[4], "    else uf");
    EXPECT_EQ(r.linhas[8], "group by");
    EXPECT_EQ(r.linhas[9], "  case");
    EXPECT_EQ(r.linhas[14], "  end");
    EXPECT_EQ(r.linhas.back(), "order by 1");

    ped.groupBy = false;
    ped.naoClassificados = NaoClassificados::Ignorar;
    r = CaseLinhas(cnv, ped);
    EXPECT_FALSE(r.substituiEditor);
    EXPECT_EQ(r.linhas.size(), 6u);
    EXPECT_EQ(r.linhas[4], "    else '~ Ignorar'");
    EXPECT_EQ(r.linhaCursor, -1);
}

TEST(ConsultaDBF, CaseEmColunasESelecao) {
    teste::PastaTemporaria p;
    const TabelaCNVCase cnv = LeCNVParaCase(CNVExemplo(p));
    PedidoCase ped;
    ped.expressao = "uf";
    EXPECT_EQ(CaseColunas(cnv, ped).substr(0, 73),
              "  count(case when  uf between '11' and '17'  then 1 end) as \"Norte\",\n  co");
    ped.contagem = false;
    ped.colunaSoma = "obitos";
    EXPECT_EQ(CaseColunas(cnv, ped).substr(0, 25), "  sum(case when  uf betwe");
    EXPECT_NE(CaseColunas(cnv, ped).find(" then obitos end) as \"Sudeste\",\n"), std::string::npos);

    EXPECT_EQ(CaseSelecao("select * from casos\nWHERE ano = 2024", 0, cnv.linhas[2], 2, "uf"),
              "select * from casos\nWHERE ( uf = '50' )\n  and ano = 2024");
    EXPECT_EQ(CaseSelecao("select * from casos\n", 20, cnv.linhas[2], 2, "uf"),
              "select * from casos\nwhere uf = '50' ");
}

// ------------------------------------------------------------ field types read by R

// Each column of a DBF as R's reader of dBase files takes it: "NAME|class|v1,v2,...".
std::vector<std::string> LidoPeloR(const std::string& dbf) {
    std::string saida;
    const std::string r =
        "d <- foreign::read.dbf('" + dbf +
        "', as.is = TRUE); "
        "for (n in names(d)) { x <- d[[n]]; "
        "v <- if (is.numeric(x)) vapply(x, function(e) format(e, digits = 15, scientific = FALSE), '') "
        "else as.character(x); "
        "v[is.na(x)] <- 'NA'; cat(n, '|', class(x)[1], '|', paste(v, collapse = ','), '\\n', sep = '') }";
    EXPECT_EQ(teste::Executa("Rscript -e \"" + r + "\"", &saida), 0) << saida;
    std::vector<std::string> linhas;
    std::size_t p = 0;
    while (p < saida.size()) {
        const std::size_t q = saida.find('\n', p);
        linhas.push_back(saida.substr(p, q - p));
        p = q == std::string::npos ? saida.size() : q + 1;
    }
    return linhas;
}

// Every file in a folder but the ones named: what a run left behind.
std::vector<std::string> OutrosArquivos(const std::string& pasta, std::vector<std::string> conhecidos) {
    std::vector<std::string> r;
    for (const auto& e : std::filesystem::directory_iterator(pasta)) {
        const std::string n = e.path().filename().string();
        if (std::find(conhecidos.begin(), conhecidos.end(), n) == conhecidos.end()) r.push_back(n);
    }
    return r;
}

class QueryParaDBFNosDoisMotores : public ::testing::Test {
public:
    void SetUp() override {
        // Qt loads its SQL drivers only under an application object.
        teste::GaranteAplicacao();
        ASSERT_EQ(motor.Inicia(), 0);
    }
    bool Grava(const std::string& alias, const std::string& dbf, const std::vector<std::string>& sql) {
        UsaMensagens usa(msg);
        return GravaConsultaDBF(motor, alias, dbf, "", sql, "", apoio);
    }
    // Statements on a server alias (safe mode off).
    void Roda(const std::string& alias, const std::vector<std::string>& linhas) {
        TabelaResultados t;
        UsaMensagens usa(msg);
        ExecutaConsulta(motor, {alias, linhas, "", "", false}, t, {}, SemProgresso(), QDateTime::currentDateTime());
    }
    // A fresh schema on the server as the alias "Servidor", `comandos` then run in it.
    void EsquemaNovo(const std::string& esquema, std::vector<std::string> comandos = {}) {
        motor.DefineAlias(teste::AliasPostgreSQL("Servidor", esquema));
        comandos.insert(comandos.begin(),
                        {"DROP SCHEMA IF EXISTS " + esquema + " CASCADE;", "CREATE SCHEMA " + esquema + ";"});
        Roda("Servidor", comandos);
    }
    void LargaEsquema(const std::string& esquema) { Roda("Servidor", {"DROP SCHEMA " + esquema + " CASCADE"}); }
    teste::PastaTemporaria pasta;
    MotorBD motor{pasta / "Aliases.ini"};
    ApoioGravaDBF apoio;
    MensagensRoteiro msg;
};

const std::string Longo(300, 'a');
const std::string Cortado(254, 'a');

TEST_F(QueryParaDBFNosDoisMotores, SQLiteCadaTipoComOsValoresExatos) {
    ASSERT_EQ(teste::Executa("sqlite3 '" + (pasta / "dorvan.sqlite") +
                             "' \"CREATE TABLE t (k integer, si smallint, i integer, r real, n numeric(10,2), "
                             "dt_nasc text, ts text, nome varchar(20), longo text, ok boolean);"
                             "INSERT INTO t VALUES (1, 1, 12345678901, 1.5, 12.3, '2024-02-29', '2024-01-05 10:20:30', "
                             "'S\xC3\xA3o Paulo', '" +
                             Longo +
                             "', 1);"
                             "INSERT INTO t VALUES (2, -32768, -7, -0.5, -0.25, '1999-12-31', '2023-06-01 00:00:00', "
                             "'\xC3\x91"
                             "andu', 'b', 0);"
                             "INSERT INTO t VALUES (3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);\""),
              0);
    AliasSQLite(motor, "Saude", pasta / "dorvan.sqlite");
    const std::string dbf = pasta / "tipos.dbf";
    ASSERT_TRUE(Grava("Saude", dbf, {"select si, i, r, n, dt_nasc, ts, nome, longo, ok from t order by k"}));
    EXPECT_EQ(msg.Textos(), std::vector<std::string>{"1 valor foi cortado para caber nos campos de " + dbf});
    const std::vector<std::string> esperado = {
        "SI|integer|1,-32768,NA",
        "I|numeric|12345678901,-7,NA",
        "R|numeric|1.5,-0.5,NA",
        "N|numeric|12.3,-0.25,NA",
        "DT_NASC|Date|2024-02-29,1999-12-31,NA",
        "TS|character|2024-01-05 10:20:30,2023-06-01 00:00:00,NA",
        "NOME|character|S\xE3o Paulo,\xD1"
        "andu,NA",
        "LONGO|character|" + Cortado + ",b,NA",
        "OK|logical|TRUE,FALSE,NA",
    };
    EXPECT_EQ(LidoPeloR(dbf), esperado);
    dbfRecord h;
    OpenDBF(h, dbf, true);
    ASSERT_EQ(h.NumCampos, 9);
    EXPECT_EQ(h.Campo(7).Tamanho, 9); // the longest name, as SQLite declares no width
    EXPECT_EQ(h.Campo(5).Tipo, 'D');
    EXPECT_EQ(h.Campo(5).Tamanho, 8);
    CloseDBF(h);

    // Sixteen narrow columns fit a record.
    std::string sql = "select 'a' c0";
    for (int i = 1; i < 16; ++i)
        sql += ", 'b' c" + std::to_string(i);
    ASSERT_TRUE(Grava("Saude", pasta / "estreito.dbf", {sql}));
    OpenDBF(h, pasta / "estreito.dbf", true);
    EXPECT_EQ(h.TamRegistro, 17);
}

TEST_F(QueryParaDBFNosDoisMotores, PostgreSQLCadaTipoComOsValoresExatos) {
    const std::string esquema = "dorvan_dbf" + std::to_string(getpid());
    DORVAN_PULA_SEM_POSTGRESQL();
    EsquemaNovo(esquema,
                {"CREATE TABLE t (k int, si smallint, i integer, b bigint, f4 real, f8 double precision, "
                 "n numeric(12,3), nl numeric, d date, ts timestamp, nome varchar(20), uf char(3), longo text, "
                 "ok boolean);",
                 "INSERT INTO t VALUES (1, 32767, 2147483647, 9007199254740993, 1.5, 0.1, 1.5, 123.456789, "
                 "'2024-02-29', '2024-01-05 10:20:30.5', 'S\xE3o Paulo', 'SP', '" +
                     Longo +
                     "', true),"
                     "(2, -32768, -7, -1, -0.5, -2.75, -0.25, -1, '1999-12-31', '2023-06-01 00:00:00', "
                     "'\xD1"
                     "andu', 'RJ', 'b', false),"
                     "(3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);"});
    const std::string dbf = pasta / "tipos.dbf";
    ASSERT_TRUE(
        Grava("Servidor", dbf, {"select si, i, b, f4, f8, n, nl, d, ts, nome, uf, longo, ok from t order by k"}));
    EXPECT_EQ(msg.Textos(), std::vector<std::string>{"1 valor foi cortado para caber nos campos de " + dbf});
    const std::vector<std::string> esperado = {
        "SI|integer|32767,-32768,NA",
        "I|integer|2147483647,-7,NA",
        "B|numeric|9007199254740992,-1,NA", // R holds it as a double
        "F4|numeric|1.5,-0.5,NA",
        "F8|numeric|0.1,-2.75,NA",
        "N|numeric|1.5,-0.25,NA",
        "NL|numeric|123.456789,-1,NA",
        "D|Date|2024-02-29,1999-12-31,NA",
        "TS|character|2024-01-05 10:20:30.500,2023-06-01 00:00:00,NA",
        "NOME|character|S\xE3o Paulo,\xD1"
        "andu,NA",
        "UF|character|SP,RJ,NA", // R trims the blanks
        "LONGO|character|" + Cortado + ",b,NA",
        "OK|logical|TRUE,FALSE,NA",
    };
    EXPECT_EQ(LidoPeloR(dbf), esperado);
    dbfRecord h;
    OpenDBF(h, dbf, true);
    ASSERT_EQ(h.NumCampos, 13);
    // Each integer size gets its own width.
    EXPECT_EQ(h.Campo(1).Tamanho, 6); // smallint: 5, and one more for -32768
    EXPECT_EQ(h.Campo(2).Tamanho, 10);
    EXPECT_EQ(h.Campo(3).Tamanho, 20);
    EXPECT_EQ(h.Campo(6).Decimais, 3);
    EXPECT_EQ(h.Campo(10).Tamanho, 20); // varchar(20)
    readDBF(h, 1);
    EXPECT_EQ(GetFieldDBF(h, 6), "           1.500");
    EXPECT_EQ(GetFieldDBF(h, 3), "    9007199254740993");
    EXPECT_EQ(GetFieldDBF(h, 11), "SP ");
    CloseDBF(h);
    LargaEsquema(esquema);
}

// A run that is cancelled or fails leaves no file under the final name, and an
// earlier file of that name as it was; no temporary file stays behind.
void CanceladaOuComFalhaNaoDeixaArquivo(QueryParaDBFNosDoisMotores& f, const std::string& alias,
                                        const std::string& pasta, const std::string& linhas, const std::string& falha) {
    SCOPED_TRACE(alias);
    const std::string dbf = pasta + "/saida.dbf";
    const std::string nova = pasta + "/nova.dbf";
    ASSERT_TRUE(f.Grava(alias, dbf, {"select 1 as um"}));
    const std::vector<std::string> antes = OutrosArquivos(pasta, {});
    const std::string anterior = LeArquivoInteiro(dbf);

    std::int64_t eventos = 0;
    f.apoio.Eventos = [&](std::int64_t) { ++eventos; };
    f.apoio.Cancelado = [&] { return eventos >= 5000; };
    std::string label;
    f.apoio.Mostra = [&](const std::string& t) { label = t; };
    EXPECT_FALSE(f.Grava(alias, dbf, {linhas}));
    EXPECT_EQ(label, "Grava\xE7\xE3o cancelada.");
    EXPECT_FALSE(f.Grava(alias, nova, {linhas}));
    EXPECT_FALSE(std::filesystem::exists(nova));
    f.apoio.Cancelado = {};
    // The engine fails on a row well inside the result.
    EXPECT_THROW(f.Grava(alias, dbf, {falha}), ErroBD);
    EXPECT_THROW(f.Grava(alias, nova, {falha}), ErroBD);
    EXPECT_FALSE(std::filesystem::exists(nova));
    EXPECT_EQ(LeArquivoInteiro(dbf), anterior);
    std::vector<std::string> conhecidos = antes;
    EXPECT_EQ(OutrosArquivos(pasta, conhecidos), std::vector<std::string>{});
}

TEST_F(QueryParaDBFNosDoisMotores, SQLiteCanceladaOuComFalhaNaoDeixaArquivo) {
    AliasSQLite(motor, "Saude", pasta / "dorvan.sqlite");
    const std::string serie = "with recursive s(x) as (select 1 union all select x + 1 from s where x < 20000) ";
    CanceladaOuComFalhaNaoDeixaArquivo(*this, "Saude", pasta.Caminho().string(), serie + "select x from s",
                                       serie + "select case when x < 15000 then x else abs(-9223372036854775807 - 1) "
                                               "end from s");
}

TEST_F(QueryParaDBFNosDoisMotores, PostgreSQLCanceladaOuComFalhaNaoDeixaArquivo) {
    DORVAN_PULA_SEM_POSTGRESQL();
    motor.DefineAlias(teste::AliasPostgreSQL("Servidor", "public"));
    CanceladaOuComFalhaNaoDeixaArquivo(*this, "Servidor", pasta.Caminho().string(),
                                       "select x from generate_series(1, 20000) x",
                                       "select 1 / (15000 - x) from generate_series(1, 20000) x");
}

// PostgreSQL's money (whatever currency text the server writes) becomes N 16 2
// with its amounts, as R reads them back.
TEST_F(QueryParaDBFNosDoisMotores, PostgreSQLMoneyViraNumeroComDuasDecimais) {
    const std::string esquema = "dorvan_money" + std::to_string(getpid());
    DORVAN_PULA_SEM_POSTGRESQL();
    EsquemaNovo(esquema, {"CREATE TABLE m (k int, v money);",
                          "INSERT INTO m VALUES (1, 1234.56), (2, -7.5), (3, NULL), (4, 0.01);"});
    const std::string dbf = pasta / "money.dbf";
    ASSERT_TRUE(Grava("Servidor", dbf, {"select v from m order by k"}));
    EXPECT_TRUE(msg.Textos().empty());
    dbfRecord h;
    OpenDBF(h, dbf, true);
    ASSERT_EQ(h.NumCampos, 1);
    EXPECT_EQ(h.Campo(1).Tipo, 'N');
    EXPECT_EQ(h.Campo(1).Tamanho, 16);
    EXPECT_EQ(h.Campo(1).Decimais, 2);
    CloseDBF(h);
    EXPECT_EQ(LidoPeloR(dbf), std::vector<std::string>{"V|numeric|1234.56,-7.5,NA,0.01"});
    LargaEsquema(esquema);
}

// The CASE code with "Ignorar" run on each engine: the rows come ordered and the
// '~ Ignorar' row leaves the table wherever the engine's order put it (labels with
// accents sort after '~').
void CaseIgnoradoSaiDaTabela(QueryParaDBFNosDoisMotores& f, const std::string& alias) {
    SCOPED_TRACE(alias);
    f.Roda(alias, {"CREATE TABLE casos (uf CHAR(2));",
                   "INSERT INTO casos VALUES ('11'), ('11'), ('99'), ('35'), ('99'), ('99'), ('31');"});
    TabelaCNVCase cnv;
    cnv.largura = 2;
    for (const auto& [rotulo, codigos] :
         std::vector<std::pair<std::string, std::string>>{{"\xC1rea norte", "11-17"}, {"Sudeste", "31,35"}}) {
        std::string l = "      1  " + rotulo;
        l.resize(60, ' ');
        cnv.linhas.push_back(l + codigos);
    }
    PedidoCase ped;
    ped.expressao = "uf";
    ped.tabela = "casos";
    ped.naoClassificados = NaoClassificados::Ignorar;
    ped.arquivoCNV = "regiao.cnv";
    std::vector<std::string> sql = {"select"};
    for (const auto& l : CaseLinhas(cnv, ped).linhas)
        sql.push_back(l);
    TabelaResultados t;
    UsaMensagens usa(f.msg);
    ASSERT_EQ(ExecutaConsulta(f.motor, {alias, sql, "", "", true}, t, {}, SemProgresso(), QDateTime::currentDateTime()),
              DesfechoConsulta::Tabela);
    std::vector<std::string> rotulos;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        rotulos.push_back(t.Rotulo(r));
    // Their order is the server's collation's.
    std::sort(rotulos.begin(), rotulos.end());
    EXPECT_EQ(rotulos, (std::vector<std::string>{"Sudeste", "\xC1rea norte"}));
    EXPECT_EQ(t.Coluna(1).Total, 4);
}

TEST_F(QueryParaDBFNosDoisMotores, SQLiteCaseIgnoradoSaiDaTabela) {
    AliasSQLite(motor, "Saude", pasta / "dorvan.sqlite");
    CaseIgnoradoSaiDaTabela(*this, "Saude");
}

TEST_F(QueryParaDBFNosDoisMotores, PostgreSQLCaseIgnoradoSaiDaTabela) {
    const std::string esquema = "dorvan_case" + std::to_string(getpid());
    DORVAN_PULA_SEM_POSTGRESQL();
    EsquemaNovo(esquema);
    CaseIgnoradoSaiDaTabela(*this, "Servidor");
    LargaEsquema(esquema);
}

// Every code a CNV line names: the single codes and both ends of each range, and
// the code after the upper end, which may fall outside every line.
std::vector<std::string> CodigosDaLinha(const std::string& linha, std::size_t w) {
    std::vector<std::string> r;
    std::string codigos = linha.size() > 60 ? linha.substr(60) : std::string();
    std::size_t p = 0;
    while (p + w <= codigos.size()) {
        r.push_back(codigos.substr(p, w));
        p += w;
        if (p < codigos.size() && codigos[p] == '-') {
            r.push_back(codigos.substr(p + 1, w));
            std::string seguinte = r.back();
            for (std::size_t i = seguinte.size(); i-- > 0;) {
                if (seguinte[i] < '0' || seguinte[i] > '8') break;
                ++seguinte[i];
                r.push_back(seguinte);
                break;
            }
            p += w + 1;
        }
        if (p < codigos.size() && codigos[p] == ',') ++p;
        else break;
    }
    return r;
}

// The CASE code of each of the sample's CNV tables, run on the engine over every
// code the table names, gives each code the label the tabulation gives it.
void CaseDeCadaCNVDaAmostra(QueryParaDBFNosDoisMotores& f, const std::string& alias) {
    SCOPED_TRACE(alias);
    const fs::path amostra = f.pasta.Caminho() / "amostra";
    ASSERT_EQ(teste::Executa(std::string(DORVAN_BINARY_DIR) + "/bin/dorvan_gera_amostra '" + amostra.string() +
                             "' 20 1 > /dev/null"),
              0);
    int vistas = 0;
    for (const auto& e : fs::directory_iterator(amostra)) {
        if (MaiusculasAscii(e.path().extension().string()) != ".CNV") continue;
        const std::string arquivo = e.path().string();
        SCOPED_TRACE(arquivo);
        TDimensao d;
        ASSERT_TRUE(LeDimensao("Variavel           COD,1," + arquivo, MaximoLinhas, d)) << ErroTabela;
        const TabelaCNVCase cnv = LeCNVParaCase(arquivo);
        EXPECT_EQ(cnv.numCategorias, d.NumCategorias);
        EXPECT_EQ(cnv.largura, d.CompCodigo);
        ASSERT_FALSE(cnv.linhas.empty());
        if (d.Modo == 2) continue; // upper bounds, not codes
        ++vistas;
        std::vector<std::string> codigos;
        for (const auto& l : cnv.linhas)
            for (const auto& c : CodigosDaLinha(l, cnv.largura))
                codigos.push_back(c);
        std::string valores;
        for (const auto& c : codigos)
            valores += (valores.empty() ? "('" : ", ('") + c + "')";
        f.Roda(alias, {"DROP TABLE IF EXISTS codigos;", "CREATE TABLE codigos (cod varchar(20));",
                       "INSERT INTO codigos VALUES " + valores + ";"});
        PedidoCase ped;
        ped.expressao = "cod";
        ped.groupBy = false;
        ped.arquivoCNV = arquivo;
        std::vector<std::string> sql = {"select"};
        for (const auto& l : CaseLinhas(cnv, ped).linhas)
            sql.push_back(l);
        sql.push_back("  cod from codigos");
        ConsultaBD q(f.motor);
        q.DatabaseName = alias;
        q.SQL = sql;
        q.Abre();
        std::size_t linhas = 0;
        for (; !q.Fim(); q.Proximo(), ++linhas) {
            std::string codigo = q.Texto(1);
            const std::int32_t k = Categoria(codigo, d);
            const std::string esperado =
                k <= d.NumCategorias ? d.NomesCategoria[static_cast<std::size_t>(k)] : "~ N\xE3o classificado";
            EXPECT_EQ(q.Texto(0), esperado) << codigo;
        }
        EXPECT_EQ(linhas, codigos.size());
        q.Fecha();
        LiberaDimensao(d);
    }
    EXPECT_GE(vistas, 6);
}

TEST_F(QueryParaDBFNosDoisMotores, SQLiteCaseDeCadaCNVDaAmostra) {
    AliasSQLite(motor, "Saude", pasta / "dorvan.sqlite");
    CaseDeCadaCNVDaAmostra(*this, "Saude");
}

TEST_F(QueryParaDBFNosDoisMotores, PostgreSQLCaseDeCadaCNVDaAmostra) {
    const std::string esquema = "dorvan_cnv" + std::to_string(getpid());
    DORVAN_PULA_SEM_POSTGRESQL();
    EsquemaNovo(esquema);
    CaseDeCadaCNVDaAmostra(*this, "Servidor");
    LargaEsquema(esquema);
}

} // namespace
} // namespace dorvan
