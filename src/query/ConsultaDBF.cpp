#include "query/ConsultaDBF.h"

#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "table/Utilidades.h"

#include <chrono>
#include <fstream>

namespace dorvan {

dbfRecord DbfConsulta;

namespace {

bool Branco(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string Apara(std::string_view s) {
    while (!s.empty() && Branco(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && Branco(s.back()))
        s.remove_suffix(1);
    return std::string(s);
}

std::string AparaDireita(std::string s) {
    while (!s.empty() && Branco(s.back()))
        s.pop_back();
    return s;
}

bool ComecaCom(std::string_view s, std::string_view prefixo) { return s.substr(0, prefixo.size()) == prefixo; }

std::int64_t SegundosDesde(std::chrono::steady_clock::time_point inicio) {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - inicio).count();
}

// The value as the DBF field wants it: dates without their dashes, logicals as T or F.
std::string TextoParaCampo(const ConsultaBD& q, int i, char tipo) {
    std::string t = q.Texto(i);
    if (tipo == 'D') {
        std::string d;
        for (char c : t.substr(0, 10))
            if (c != '-') d += c;
        return d;
    }
    if (tipo == 'L' && !t.empty()) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t[0])));
        return (c == 'T' || c == 'Y' || c == '1') ? "T" : "F";
    }
    return t;
}

} // namespace

std::string NomeCampoConsulta(std::string_view nome) {
    std::string n = MaiusculasSemAcento(nome);
    for (char& c : n)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) c = '_';
    return n.substr(0, 10);
}

CampoDBF CampoDaConsulta(const CampoBD& c) {
    CampoDBF f;
    f.Nome = NomeCampoConsulta(c.nome);
    auto define = [&f](char tipo, int tamanho, int decimais) {
        f.Tipo = tipo;
        f.Tamanho = static_cast<std::uint8_t>(tamanho);
        f.Decimais = static_cast<std::uint8_t>(decimais);
    };
    switch (c.tipo) {
    case TipoCampo::Texto:
    case TipoCampo::Bytes:
    case TipoCampo::VarBytes: {
        // Engines that do not say how wide a text is get the widest text field.
        const int tamanho = c.tamanho <= 0 || c.tamanho > 254 ? 254 : c.tamanho;
        define('C', tamanho, 0);
        if (ComecaCom(f.Nome, "DATA_") || ComecaCom(f.Nome, "DT_"))
            f.Tipo = 'D';
        else if (ComecaCom(f.Nome, "QT_") || ComecaCom(f.Nome, "VL_"))
            f.Tipo = 'N';
        break;
    }
    case TipoCampo::Inteiro16:
    case TipoCampo::Palavra:
        define('N', 5, 0);
        break;
    case TipoCampo::Inteiro:
        define('N', 10, 0);
        break;
    // A 64-bit integer cut to ten characters would lose digits.
    case TipoCampo::Inteiro64:
        define('N', 20, 0);
        break;
    case TipoCampo::Logico:
        define('L', 1, 0);
        break;
    case TipoCampo::Real:
        define('N', 16, 0);
        break;
    case TipoCampo::Moeda:
        define('N', 16, 2);
        break;
    case TipoCampo::BCD:
        define('N', 17, std::clamp(c.tamanho, 0, 15));
        break;
    case TipoCampo::Data:
        define('D', 8, 0);
        break;
    default:
        define('C', 10, 0);
        break;
    }
    return f;
}

std::string TextoRecebidos(std::int64_t n, const std::string& arquivo) {
    const std::size_t barra = arquivo.find_last_of('/');
    return "Recebidos " + std::to_string(n) + " registros de " +
           (barra == std::string::npos ? arquivo : arquivo.substr(barra + 1));
}

std::string TextoExecutadoMinutos(std::int64_t segundos) {
    return "Executado em " + std::to_string(segundos / 60) + " minutos e " + std::to_string(segundos % 60) +
           " segundos";
}

bool GravaConsultaDBF(MotorBD& motor, const std::string& alias, const std::string& arquivo,
                      const std::string& parametro, const std::vector<std::string>& linhas, const std::string& valor,
                      const ApoioGravaDBF& apoio) {
    const auto inicio = std::chrono::steady_clock::now();
    auto mostra = [&apoio](const std::string& t) {
        if (apoio.Mostra) apoio.Mostra(t);
    };
    ConsultaBD q(motor);
    q.DatabaseName = alias;
    q.SQL = linhas;
    q.SomenteLeitura = apoio.ModoSeguro;
    const std::string nome = Apara(parametro);
    if (!nome.empty()) {
        std::optional<std::string> v;
        if (Apara(valor).empty())
            v = apoio.PerguntaParametro ? apoio.PerguntaParametro(nome) : std::nullopt;
        else
            v = valor;
        if (!v) return false;
        q.DefineParametro(nome, *v);
    }
    q.Abre();
    if (q.Fim()) {
        mostra("Nenhum registro selecionado!!");
        return false;
    }
    std::vector<CampoDBF> campos;
    int tamanho = 0;
    for (int i = 0; i < q.NumCampos(); ++i) {
        campos.push_back(CampoDaConsulta(q.Campo(i)));
        tamanho += campos.back().Tamanho;
    }
    if (static_cast<int>(campos.size()) > MaxCamposConsultaDBF || tamanho > MaxRegistroConsultaDBF) {
        MensagensAtuais().Mostra("O resultado tem " + std::to_string(campos.size()) + " campos e registro de " +
                                 std::to_string(tamanho) + " bytes: n\xE3o cabe num arquivo DBF.");
        return false;
    }
    if (DbfConsulta.Estado != 0) CloseDBF(DbfConsulta);
    CreateDBF(DbfConsulta, arquivo, campos, 3);
    std::vector<char> reg(DbfConsulta.TamRegistro, ' ');
    try {
        for (; !q.Fim(); q.Proximo()) {
            if (apoio.Eventos) apoio.Eventos();
            for (int i = 0; i < q.NumCampos(); ++i)
                PutFieldDBF(DbfConsulta, i + 1, TextoParaCampo(q, i, campos[static_cast<std::size_t>(i)].Tipo),
                            reg.data());
            AppendDBF(DbfConsulta, reg.data());
        }
    } catch (...) {
        // The rows written so far stay in a file that readers can open.
        CloseDBF(DbfConsulta);
        throw;
    }
    q.Fecha();
    CloseDBF(DbfConsulta);
    mostra(TextoExecutadoMinutos(SegundosDesde(inicio)));
    return true;
}

std::string ExecutaLote(const std::string& arquivo, const ApoioLote& apoio) {
    const auto inicio = std::chrono::steady_clock::now();
    std::ifstream f(arquivo, std::ios::binary);
    if (!f) throw ErroES::DoSistema(arquivo, errno);
    std::vector<std::pair<std::string, std::string>> pares;
    int gravados = 0;
    std::string linha;
    while (std::getline(f, linha)) {
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        if (linha.empty() || linha[0] == '#') continue;
        const std::string comeco = MaiusculasAscii(linha.substr(0, 7));
        if (comeco == "CONECTA") {
            if (apoio.Conecta) apoio.Conecta(Apara(linha.substr(7)));
        } else if (const std::size_t igual = linha.find('='); igual != std::string::npos) {
            pares.emplace_back(linha.substr(0, igual), linha.substr(igual + 1));
        } else if (comeco == "INFORME") {
            const std::string nome = Apara(linha.substr(7));
            const auto v = apoio.Pergunta ? apoio.Pergunta(nome) : std::nullopt;
            if (!v) break;
            pares.emplace_back(nome, Apara(*v));
        } else {
            for (const auto& [n, v] : pares)
                if (!n.empty()) linha = SubstituiTodos(linha, n, v);
            std::string partes[3];
            std::size_t p = 0;
            for (int k = 0; k < 3; ++k) {
                const std::size_t virgula = k < 2 ? linha.find(',', p) : std::string::npos;
                if (p <= linha.size())
                    partes[k] = Apara(linha.substr(p, virgula == std::string::npos ? std::string::npos : virgula - p));
                p = virgula == std::string::npos ? linha.size() + 1 : virgula + 1;
            }
            if (apoio.Executa && apoio.Executa(partes[0], partes[1], partes[2])) ++gravados;
        }
    }
    if (f.bad()) throw ErroES::DoSistema(arquivo, errno);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - inicio).count();
    return std::to_string(gravados) + " arquivos gravados em " + std::to_string(ms / 60000) + ":" +
           std::to_string((ms / 1000) % 60) + " minutos";
}

std::string CondicaoCNV(const std::string& linha, int largura, const std::string& expressao) {
    std::string codigos = linha.size() > 60 ? AparaDireita(linha.substr(60)) : std::string();
    if (!codigos.empty() && codigos.back() == ',') codigos.pop_back();
    codigos = codigos.substr(0, codigos.find(';'));
    const std::size_t w = static_cast<std::size_t>(std::max(largura, 0));
    std::vector<std::string> simples;
    std::vector<std::pair<std::string, std::string>> faixas;
    std::size_t p = 0;
    while (p <= codigos.size()) {
        const std::size_t v = codigos.find(',', p);
        const std::string item = codigos.substr(p, v == std::string::npos ? std::string::npos : v - p);
        if (item.size() == w)
            simples.push_back(item);
        else
            faixas.emplace_back(item.substr(0, w), item.size() > w + 1 ? item.substr(w + 1, w) : std::string());
        if (v == std::string::npos) break;
        p = v + 1;
    }
    std::string c;
    for (std::size_t k = 0; k < faixas.size(); ++k) {
        if (k > 0) c += " or ";
        c += " " + expressao + " between '" + faixas[k].first + "' and '" + faixas[k].second + "' ";
    }
    if (!faixas.empty() && !simples.empty()) c += " or ";
    if (simples.size() == 1) {
        c += " " + expressao + " = '" + simples[0] + "' ";
    } else if (simples.size() > 1) {
        c += " " + expressao + " in(";
        for (std::size_t k = 0; k < simples.size(); ++k)
            c += (k ? ",'" : "'") + simples[k] + "'";
        c += ") ";
    }
    return c;
}

} // namespace dorvan

namespace dorvan {

TabelaCNVCase LeCNVParaCase(const std::string& arquivo) {
    std::ifstream f(arquivo, std::ios::binary);
    if (!f) throw ErroES::DoSistema(arquivo, errno);
    TabelaCNVCase t;
    std::string linha;
    if (std::getline(f, linha)) {
        std::size_t p = 0;
        auto numero = [&]() {
            while (p < linha.size() && Branco(linha[p]))
                ++p;
            int n = 0;
            while (p < linha.size() && linha[p] >= '0' && linha[p] <= '9')
                n = n * 10 + (linha[p++] - '0');
            return n;
        };
        t.numCategorias = numero();
        t.largura = numero();
    }
    while (std::getline(f, linha)) {
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        if (Apara(linha).empty() || linha[0] == ';') continue;
        t.linhas.push_back(linha);
    }
    if (f.bad()) throw ErroES::DoSistema(arquivo, errno);
    return t;
}

std::string RotuloCNV(const std::string& linha) { return linha.size() > 9 ? Apara(linha.substr(9, 50)) : ""; }

namespace {

std::string EntreAspasSimples(const std::string& s) {
    std::string r = "'";
    for (char c : s) {
        r += c;
        if (c == '\'') r += c;
    }
    return r + "'";
}

std::string NomeAtePonto(const std::string& arquivo) {
    const std::size_t barra = arquivo.find_last_of('/');
    const std::string nome = barra == std::string::npos ? arquivo : arquivo.substr(barra + 1);
    return nome.substr(0, nome.find('.'));
}

} // namespace

CaseEmLinhas CaseLinhas(const TabelaCNVCase& cnv, const PedidoCase& p) {
    CaseEmLinhas r;
    r.substituiEditor = p.groupBy;
    std::vector<std::string> casos;
    casos.push_back("  case");
    for (const auto& l : cnv.linhas)
        casos.push_back("    when" + CondicaoCNV(l, cnv.largura, p.expressao) + "then " +
                        EntreAspasSimples(RotuloCNV(l)));
    switch (p.naoClassificados) {
    case NaoClassificados::Ignorar:
        casos.push_back("    else '~ Ignorar'");
        break;
    case NaoClassificados::Incluir:
        casos.push_back("    else '~ N\xE3o classificado'");
        break;
    case NaoClassificados::Discriminar:
        casos.push_back("    else " + p.colunaJanela);
        break;
    }
    r.linhas = casos;
    r.linhas.push_back("  end as \"" + NomeAtePonto(p.arquivoCNV) + "\",");
    if (p.groupBy) {
        r.linhaCursor = static_cast<int>(r.linhas.size());
        r.linhas.push_back("  count(*) as Total");
        r.linhas.push_back("from " + p.tabela);
        if (p.oracle) {
            r.linhas.push_back("group by");
            r.linhas.insert(r.linhas.end(), casos.begin(), casos.end());
            r.linhas.push_back("  end");
        } else {
            r.linhas.push_back("group by 1");
        }
    }
    return r;
}

std::string CaseColunas(const TabelaCNVCase& cnv, const PedidoCase& p) {
    std::string s;
    for (const auto& l : cnv.linhas) {
        const std::string cond = CondicaoCNV(l, cnv.largura, p.expressao);
        const std::string valor = p.contagem ? "1" : p.colunaSoma;
        s += std::string(p.contagem ? "  count" : "  sum") + "(case when " + cond + " then " + valor + " end) as \"" +
             RotuloCNV(l) + "\",\n";
    }
    return s;
}

std::string CaseSelecao(const std::string& texto, std::size_t posCursor, const std::string& linhaCNV, int largura,
                        const std::string& expressao) {
    const std::string cond = CondicaoCNV(linhaCNV, largura, expressao);
    std::string minusculo = texto;
    for (char& c : minusculo)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const std::size_t where = minusculo.find("where ");
    if (where != std::string::npos) {
        std::string r = texto;
        r.insert(where + 6, "(" + cond + ")\n  and ");
        return r;
    }
    std::string r = texto;
    r.insert(std::min(posCursor, r.size()), "where" + cond);
    return r;
}

} // namespace dorvan
