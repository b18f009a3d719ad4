#include "query/ConsultaDBF.h"

#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"

#include <QCoreApplication>
#include <filesystem>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

TEST(ConsultaDBF, NomesDeCampoLimpos) {
    EXPECT_EQ(NomeCampoConsulta("Regi\xE3o da a\xE7\xE3o"), "REGIAO_DA_");
    EXPECT_EQ(NomeCampoConsulta("dt_nasc"), "DT_NASC");
    EXPECT_EQ(NomeCampoConsulta("count(*)"), "COUNT___");
    // Two names equal in their first ten characters stay equal: the file takes both.
    EXPECT_EQ(NomeCampoConsulta("populacao_2010"), NomeCampoConsulta("populacao_2020"));
}

TEST(ConsultaDBF, TiposDosCamposPeloTipoDoResultado) {
    struct Caso {
        CampoBD c;
        char tipo;
        int tamanho, decimais;
        std::string nome;
    };
    const std::vector<Caso> casos = {
        {{"nome", TipoCampo::Texto, 30}, 'C', 30, 0, "NOME"},
        {{"DT_NASC", TipoCampo::Texto, 8}, 'D', 8, 0, "DT_NASC"},
        {{"data_obito", TipoCampo::Texto, 8}, 'D', 8, 0, "DATA_OBITO"},
        {{"VL_TOTAL", TipoCampo::Texto, 12}, 'N', 12, 0, "VL_TOTAL"},
        {{"qt_casos", TipoCampo::VarBytes, 6}, 'N', 6, 0, "QT_CASOS"},
        {{"t", TipoCampo::Texto, 0}, 'C', 254, 0, "T"},
        {{"i", TipoCampo::Inteiro16, 2}, 'N', 5, 0, "I"},
        {{"w", TipoCampo::Palavra, 2}, 'N', 5, 0, "W"},
        {{"i", TipoCampo::Inteiro, 4}, 'N', 10, 0, "I"},
        {{"i", TipoCampo::Inteiro64, 8}, 'N', 20, 0, "I"},
        {{"b", TipoCampo::Logico, 1}, 'L', 1, 0, "B"},
        {{"r", TipoCampo::Real, 8}, 'N', 16, 0, "R"},
        {{"m", TipoCampo::Moeda, 8}, 'N', 16, 2, "M"},
        {{"b", TipoCampo::BCD, 4}, 'N', 17, 4, "B"},
        {{"d", TipoCampo::Data, 4}, 'D', 8, 0, "D"},
        {{"h", TipoCampo::Hora, 4}, 'C', 10, 0, "H"},
        {{"h", TipoCampo::DataHora, 4}, 'C', 10, 0, "H"},
    };
    for (const Caso& c : casos) {
        const CampoDBF f = CampoDaConsulta(c.c);
        EXPECT_EQ(f.Nome, c.nome);
        EXPECT_EQ(f.Tipo, c.tipo) << c.c.nome;
        EXPECT_EQ(f.Tamanho, c.tamanho) << c.c.nome;
        EXPECT_EQ(f.Decimais, c.decimais) << c.c.nome;
    }
}

class ConsultaParaDBF : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QCoreApplication::instance()) GTEST_SKIP() << "needs the application object";
        ASSERT_EQ(teste::Executa("sqlite3 '" + (pasta / "dorvan.sqlite") +
                                 "' \"CREATE TABLE casos (nome TEXT, obitos INTEGER, taxa REAL);"
                                 "INSERT INTO casos VALUES ('Adamantina', 3, 1.5);"
                                 "INSERT INTO casos VALUES ('Adolfo', 7, 0.25);\""),
                  0);
        ASSERT_EQ(motor.Inicia(), 0);
        motor.AdicionaAliasPadrao("Saude", pasta.Caminho().string());
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
    const std::vector<std::string> sql = {"delete from casos where obitos = 3 returning nome -- select"};
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
    for (const char* l : {"  end as \"regiao\",", "  count(*) as Total", "from casos", "group by 1"})
        esperado.push_back(l);
    EXPECT_TRUE(r.substituiEditor);
    EXPECT_EQ(r.linhas, esperado);
    EXPECT_EQ(r.linhas[static_cast<std::size_t>(r.linhaCursor)], "  count(*) as Total");

    ped.oracle = true;
    ped.naoClassificados = NaoClassificados::Discriminar;
    ped.colunaJanela = "uf";
    r = CaseLinhas(cnv, ped);
    ASSERT_EQ(r.linhas.size(), 5u + 4u + 5u + 1u);
    EXPECT_EQ(r.linhas[4], "    else uf");
    EXPECT_EQ(r.linhas[8], "group by");
    EXPECT_EQ(r.linhas[9], "  case");
    EXPECT_EQ(r.linhas.back(), "  end");

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

} // namespace
} // namespace dorvan
