#include "query/ExecutaConsulta.h"

#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Texto.h"
#include "platform/Texto1252.h"
#include "query/ArquivoConsulta.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

namespace dorvan {

namespace {

std::string Corta(const std::string& s, std::size_t n) { return s.size() > n ? s.substr(0, n) : s; }

bool Branca(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

// The rows the CASE code put under "~ Ignorar" go wherever the engine's order put
// them; a result of nothing else keeps its one row. "~ Não classificado" is named
// as the table names it.
void TiraIgnorados(TabelaResultados& t) {
    std::vector<std::int32_t> ficam;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        if (t.Rotulo(r) != "~ Ignorar") ficam.push_back(r);
    const auto fica = static_cast<std::int32_t>(ficam.size());
    if (fica > 0 && fica < t.NumLinhas) {
        MantemLinhas(t, ficam);
        t.DefineCapLinhas(fica);
    }
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        if (t.Rotulo(r) == "~ N\xE3o classificado") t.Rotulo(r) = "N\xE3o classificados";
}

} // namespace

DialetoRealce DialetoDeRealce(const std::string& driver) {
    const std::string d = MaiusculasAscii(driver);
    if (d == DriverPadrao) return DialetoRealce::InterBase6;
    auto tem = [&](const char* parte) { return d.find(parte) != std::string::npos; };
    if (tem("ORACLE")) return DialetoRealce::Oracle;
    if (tem("MYSQL")) return DialetoRealce::MySQL;
    if (tem("SQLITE")) return DialetoRealce::SQLite;
    if (tem("FIREBIRD")) return DialetoRealce::Firebird;
    if (tem("INTRBASE")) return DialetoRealce::InterBase6;
    if (tem("POSTGRES")) return DialetoRealce::PostgreSQL;
    if (tem("GRES")) return DialetoRealce::Ingres;
    return DialetoRealce::Sybase;
}

bool GeraCaseNoDialeto(DialetoRealce d) {
    switch (d) {
    case DialetoRealce::MySQL:
    case DialetoRealce::Oracle:
    case DialetoRealce::Sybase:
    case DialetoRealce::Ingres:
    case DialetoRealce::SQLite:
    case DialetoRealce::Firebird:
    case DialetoRealce::PostgreSQL: return true;
    case DialetoRealce::InterBase6: return false;
    }
    return false;
}

bool GeraCaseNoDriver(const std::string& driver) {
    return driver == DriverPadrao || GeraCaseNoDialeto(DialetoDeRealce(driver));
}

bool PrimeiraLinhaSelect(const std::vector<std::string>& linhas) {
    return !linhas.empty() && MaiusculasAscii(linhas[0]).find("SELECT") != std::string::npos;
}

std::vector<std::vector<std::string>> SeparaComandos(const std::vector<std::string>& linhas) {
    std::vector<std::vector<std::string>> comandos;
    std::vector<std::string> atual;
    for (std::size_t i = 0; i < linhas.size(); ++i) {
        if (!Branca(linhas[i])) atual.push_back(linhas[i]);
        if (linhas[i].find(';') != std::string::npos || i + 1 == linhas.size()) {
            if (!atual.empty()) comandos.push_back(std::move(atual));
            atual.clear();
        }
    }
    return comandos;
}

std::int32_t DecimaisDoTexto(double valor) {
    if (!std::isfinite(valor) || valor == 0) return 0;
    // 15 significant digits, as "d.dddddddddddddde+XX".
    const std::string e = QString::number(std::fabs(valor), 'e', 14).toStdString();
    const std::size_t pe = e.find('e');
    std::string digitos = e.substr(0, 1) + e.substr(2, pe - 2);
    const int expoente = std::stoi(e.substr(pe + 1));
    while (digitos.size() > 1 && digitos.back() == '0') digitos.pop_back();
    const int n = static_cast<int>(digitos.size());
    if (expoente >= 15 || expoente <= -5) {
        // Scientific: "d,dddE-5"; what follows the comma includes the exponent.
        if (n == 1) return 0;
        return (n - 1) + 1 + static_cast<int>(std::to_string(expoente).size());
    }
    return std::max(0, n - (expoente + 1));
}

bool PreencheTabela(ConsultaBD& q, TabelaResultados& t, Progresso& progresso) {
    if (q.Fim()) {
        MensagensAtuais().Mostra("Nenhum registro selecionado!");
        return false;
    }
    const int campos = q.NumCampos();
    if (campos <= 0) {
        MensagensAtuais().Mostra("Resultado inv\xE1lido! - Linhas:" + std::to_string(q.RecordCount()) +
                                 " Colunas:" + std::to_string(campos));
        return false;
    }
    const std::int32_t colunas = std::min(MaxColunas, campos - 1);
    try {
        // The engine counts rows only as they come: the capacity grows with them,
        // never beyond the table's limit.
        t.AlocaLinhas(std::min<std::int32_t>(1024, MaxLinhasTabela), 0);
        t.OrdemDecrescente = false;
        t.ColunaOrdem = 0;
        t.DefineNomeColuna(0, q.Campo(0).nome);
        for (std::int32_t c = 1; c <= colunas; ++c) AcrescentaColuna(t, q.Campo(c).nome, 0);
        std::int32_t n = 0;
        bool excedeu = false;
        for (; !q.Fim(); q.Proximo()) {
            if (n == MaxLinhasTabela) {
                excedeu = true;
                break;
            }
            ++n;
            if (n > t.CapLinhas()) t.DefineCapLinhas(std::min<std::int32_t>(MaxLinhasTabela, t.CapLinhas() * 2));
            t.NumLinhas = n;
            t.Rotulo(n) = q.Texto(0);
            for (std::int32_t c = 1; c <= colunas; ++c) {
                double v = 0;
                try {
                    v = q.Real(c);
                } catch (const ErroBD&) {
                    v = 0; // a value that is not a number counts as none
                }
                t.Dado(c, n) = v;
            }
            progresso.Avanca(static_cast<std::uint64_t>(n), 0);
        }
        t.DefineCapLinhas(n);
        t.NumLinhas = n;
        if (excedeu) MensagensAtuais().Mostra("Limite de linhas excedido");
    } catch (...) {
        LiberaTabela(t);
        throw;
    }

    TiraIgnorados(t);

    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        ColunaResultados& col = t.Coluna(c);
        col.TipoTotal = TipoTotal::Soma;
        CalculaTotal(t, c);
        col.Decimais = DecimaisDoTexto(col.Total);
        col.Largura = std::max<std::int32_t>(LarguraValor(col.Decimais, col.Total),
                                             static_cast<std::int32_t>(col.NomeColuna.size()) + 1);
    }
    std::size_t maior = t.Coluna(0).NomeColuna.size();
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) maior = std::max(maior, t.Rotulo(r).size());
    t.Coluna(0).Largura = static_cast<std::int32_t>(maior);
    DetectaCodigo(t);
    t.MostraCodigo = t.TamCodigo != SemCodigo;
    return true;
}

DesfechoConsulta ExecutaConsulta(MotorBD& motor, const PedidoConsulta& pedido, TabelaResultados& t,
                                 const PerguntaParametro& pergunta, Progresso& progresso, const QDateTime& agora) {
    if (!motor.AliasExiste(pedido.alias)) {
        MensagensAtuais().Mostra(pedido.alias + " n\xE3o \xE9 um banco de dados v\xE1lido!");
        return DesfechoConsulta::Recusada;
    }
    if (std::all_of(pedido.linhas.begin(), pedido.linhas.end(), Branca)) {
        MensagensAtuais().Mostra("Entre com o texto do SQL na janela inferior!");
        return DesfechoConsulta::Recusada;
    }
    ConsultaBD q(motor);
    q.DatabaseName = pedido.alias;
    // Safe mode: whatever the text holds, the engine refuses to write.
    q.SomenteLeitura = pedido.modoSeguro;
    const std::string nomeParametro = TiraBrancos(pedido.parametro);
    std::optional<std::string> valor;
    if (!nomeParametro.empty()) {
        valor = pergunta ? pergunta(nomeParametro) : std::nullopt;
        if (!valor) return DesfechoConsulta::Cancelada;
    }
    // Bound wherever a statement marks it; a statement without a mark runs without it.
    if (valor) q.DefineParametro(nomeParametro, *valor);

    if (PrimeiraLinhaSelect(pedido.linhas)) {
        q.SQL = pedido.linhas;
        q.Abre();
        if (!PreencheTabela(q, t, progresso)) return DesfechoConsulta::Recusada;
        t.Titulo1 = Corta(pedido.titulo, 80);
        t.Titulo2 = valor ? Corta(nomeParametro + " = " + *valor, 80) : std::string();
        const std::string data = agora.toString(QStringLiteral("dd/MM/yyyy")).toStdString();
        const std::string hora = agora.toString(QStringLiteral("HH:mm:ss")).toStdString();
        t.Rodape = Corta("Executado sobre " + pedido.alias + " em " + data + " as " + hora, 80);
        return DesfechoConsulta::Tabela;
    }

    // Safe mode keeps statements off every database but the standard ones; the
    // driver is the alias's own, whatever was chosen in the list before.
    if (motor.NomeDriverAlias(pedido.alias) != DriverPadrao && pedido.modoSeguro) {
        MensagensAtuais().Mostra("Comando SELECT obrigat\xF3rio na primeira linha!");
        return DesfechoConsulta::Recusada;
    }
    // The statements the user typed on a standard alias run as typed.
    q.SomenteLeitura = false;
    for (const auto& comando : SeparaComandos(pedido.linhas)) {
        q.SQL = comando;
        q.Executa();
    }
    return DesfechoConsulta::Comandos;
}

std::string RecusaNovoAlias(const MotorBD& motor, const std::string& nome) {
    if (TiraBrancos(nome).empty()) return "Primeiro entre com o nome do Banco de dados ser adicionado!";
    if (motor.AliasExiste(nome)) return nome + " j\xE1 existe!";
    return {};
}

bool ColunaIndexada(const std::string& coluna, const std::vector<IndiceBD>& indices) {
    const QString alvo = ParaQString(coluna).toUpper();
    for (const auto& i : indices)
        for (const QString& campo : ParaQString(i.campos).split(QLatin1Char(';')))
            if (campo.trimmed().toUpper() == alvo) return true;
    return false;
}

} // namespace dorvan
