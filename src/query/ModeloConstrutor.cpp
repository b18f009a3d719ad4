#include "query/ModeloConstrutor.h"

#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "query/ArquivoConsulta.h"

#include <algorithm>

#include <limits>

namespace dorvan {

namespace {

std::string Inteiro(int n) { return NumeroMaquina(n, 0); }

// A number the model cannot hold ("1e+11", or no number at all) reads as 0, as
// an unreadable one does: a whole value within int, else nothing.
int LeInteiro(const std::string& texto) {
    auto v = LeNumeroMaquina(texto);
    if (!v || !(*v >= std::numeric_limits<int>::min() && *v <= std::numeric_limits<int>::max())) return 0;
    return static_cast<int>(*v);
}

// The items of a model line: each ends at the next ',' or, for the last, at ';'.
std::vector<std::string> Itens(const std::string& linha) {
    std::vector<std::string> r;
    std::size_t i = 0;
    const std::size_t fim = linha.rfind(';');
    const std::size_t limite = fim == std::string::npos ? linha.size() : fim;
    while (i <= limite) {
        std::size_t v = linha.find(',', i);
        if (v == std::string::npos || v > limite) {
            r.push_back(linha.substr(i, limite - i));
            break;
        }
        r.push_back(linha.substr(i, v - i));
        i = v + 1;
    }
    return r;
}

// A FROM, GROUP BY or ORDER BY clause: items joined by ", ", a new line begun
// once a line passes 70 characters.
void Clausula(std::vector<std::string>& sql, const std::string& titulo, const std::vector<std::string>& itens) {
    if (itens.empty()) return;
    std::string linha = titulo;
    for (std::size_t i = 0; i < itens.size(); ++i) {
        if (linha.size() > 70) {
            sql.push_back(linha);
            linha = "  ";
        }
        linha += itens[i];
        if (i + 1 < itens.size()) linha += ", ";
    }
    sql.push_back(linha);
}

} // namespace

void ModeloConstrutor::Limpa() {
    tabelas.clear();
    ligacoes.clear();
    colunas.clear();
}

int ModeloConstrutor::AchaTabela(const std::string& nome) const {
    for (std::size_t i = 0; i < tabelas.size(); ++i)
        if (tabelas[i].nome == nome) return static_cast<int>(i);
    return -1;
}

bool ModeloConstrutor::InsereTabela(const std::string& nome, const std::vector<std::string>& campos, int topo_,
                                    int esquerda_) {
    if (AchaTabela(nome) >= 0) {
        MensagensAtuais().Mostra("Esta tabela j\xE1 foi inserida!");
        return false;
    }
    TabelaModelo t{nome, topo_, esquerda_, {"*"}, {}};
    t.campos.insert(t.campos.end(), campos.begin(), campos.end());
    t.marcados.assign(t.campos.size(), false);
    tabelas.push_back(std::move(t));
    return true;
}

void ModeloConstrutor::RemoveTabela(const std::string& nome) {
    const int i = AchaTabela(nome);
    if (i < 0) return;
    std::erase_if(ligacoes, [&](const LigacaoModelo& l) { return l.tabela1 == nome || l.tabela2 == nome; });
    // Columns of a table no longer on the area would name it in SELECT without FROM.
    std::erase_if(colunas, [&](const ColunaModelo& c) { return c.tabela == nome; });
    tabelas.erase(tabelas.begin() + i);
}

void ModeloConstrutor::AcrescentaColuna(const TabelaModelo& t, int campo) {
    ColunaModelo c;
    c.campo = t.campos[static_cast<std::size_t>(campo)];
    c.tabela = t.nome;
    colunas.push_back(c);
}

void ModeloConstrutor::MarcaCampo(const std::string& tabela, int campo, bool marcado) {
    const int i = AchaTabela(tabela);
    if (i < 0) return;
    TabelaModelo& t = tabelas[static_cast<std::size_t>(i)];
    if (campo < 0 || campo >= static_cast<int>(t.campos.size())) return;
    const bool antes = t.marcados[static_cast<std::size_t>(campo)];
    t.marcados[static_cast<std::size_t>(campo)] = marcado;
    if (marcado && !antes) {
        AcrescentaColuna(t, campo);
    } else if (!marcado) {
        // Only this table's columns: a field of the same name in another table stays.
        const std::string& nome = t.campos[static_cast<std::size_t>(campo)];
        std::erase_if(colunas, [&](const ColunaModelo& c) { return c.campo == nome && c.tabela == tabela; });
    }
}

void ModeloConstrutor::InsereColuna(int posicao, const std::string& tabela, int campo) {
    const int i = AchaTabela(tabela);
    if (i < 0) return;
    TabelaModelo& t = tabelas[static_cast<std::size_t>(i)];
    if (campo < 0 || campo >= static_cast<int>(t.campos.size())) return;
    t.marcados[static_cast<std::size_t>(campo)] = true;
    posicao = std::clamp(posicao, 0, static_cast<int>(colunas.size()));
    ColunaModelo c;
    c.campo = t.campos[static_cast<std::size_t>(campo)];
    c.tabela = tabela;
    colunas.insert(colunas.begin() + posicao, c);
}

void ModeloConstrutor::SelecionaTodos(const std::string& tabela) {
    const int i = AchaTabela(tabela);
    if (i < 0) return;
    for (int c = 1; c < static_cast<int>(tabelas[static_cast<std::size_t>(i)].campos.size()); ++c)
        MarcaCampo(tabela, c, true);
}

void ModeloConstrutor::DeselecionaTodos(const std::string& tabela) {
    const int i = AchaTabela(tabela);
    if (i < 0) return;
    TabelaModelo& t = tabelas[static_cast<std::size_t>(i)];
    std::fill(t.marcados.begin(), t.marcados.end(), false);
    std::erase_if(colunas, [&](const ColunaModelo& c) { return c.tabela == tabela; });
}

void ModeloConstrutor::RemoveColuna(int posicao) {
    if (posicao < 0 || posicao >= static_cast<int>(colunas.size())) return;
    const ColunaModelo c = colunas[static_cast<std::size_t>(posicao)];
    colunas.erase(colunas.begin() + posicao);
    for (const auto& outra : colunas)
        if (outra.campo == c.campo && outra.tabela == c.tabela) return;
    const int i = AchaTabela(c.tabela);
    if (i < 0) return;
    TabelaModelo& t = tabelas[static_cast<std::size_t>(i)];
    for (std::size_t k = 0; k < t.campos.size(); ++k)
        if (t.campos[k] == c.campo) t.marcados[k] = false;
}

std::string ModeloConstrutor::NomeCampo(const std::string& tabela, int campo) const {
    const int i = AchaTabela(tabela);
    if (i < 0) return {};
    const auto& campos = tabelas[static_cast<std::size_t>(i)].campos;
    if (campo < 0 || campo >= static_cast<int>(campos.size())) return {};
    return campos[static_cast<std::size_t>(campo)];
}

bool ModeloConstrutor::Liga(const std::string& tabela1, int campo1, const std::string& tabela2, int campo2) {
    if (campo1 < 1 || campo2 < 1 || NomeCampo(tabela1, campo1).empty() || NomeCampo(tabela2, campo2).empty())
        return false;
    if (tabela1 == tabela2 && campo1 == campo2) return false;
    for (const auto& l : ligacoes) {
        const bool direta = l.tabela1 == tabela1 && l.campo1 == campo1 && l.tabela2 == tabela2 && l.campo2 == campo2;
        const bool inversa = l.tabela1 == tabela2 && l.campo1 == campo2 && l.tabela2 == tabela1 && l.campo2 == campo1;
        if (direta || inversa) {
            MensagensAtuais().Mostra("Estas tabelas j\xE1 est\xE3o conectadas!");
            return false;
        }
    }
    ligacoes.push_back({tabela1, campo1, tabela2, campo2, 0, 0});
    return true;
}

void ModeloConstrutor::Desliga(int ligacao) {
    if (ligacao >= 0 && ligacao < static_cast<int>(ligacoes.size())) ligacoes.erase(ligacoes.begin() + ligacao);
}

bool ModeloConstrutor::CampoLigado(const std::string& tabela, int campo) const {
    for (const auto& l : ligacoes)
        if ((l.tabela1 == tabela && l.campo1 == campo) || (l.tabela2 == tabela && l.campo2 == campo)) return true;
    return false;
}

std::string ModeloConstrutor::NomeLigacao(int ligacao) const {
    if (ligacao < 0 || ligacao >= static_cast<int>(ligacoes.size())) return {};
    const auto& l = ligacoes[static_cast<std::size_t>(ligacao)];
    return l.tabela1 + " :: " + l.tabela2;
}

std::vector<std::string> GeraApelidos(const std::vector<std::string>& tabelas) {
    std::vector<std::string> r;
    std::vector<std::pair<std::string, int>> vistos;
    for (const auto& t : tabelas) {
        const std::string letra = ParaMinusculas(t.substr(0, 1));
        auto it = std::find_if(vistos.begin(), vistos.end(), [&](const auto& v) { return v.first == letra; });
        if (it == vistos.end()) {
            vistos.push_back({letra, 1});
            r.push_back(letra);
        } else {
            r.push_back(letra + Inteiro(++it->second));
        }
    }
    return r;
}

std::optional<std::vector<std::string>> GeraSQL(const ModeloConstrutor& m, const std::vector<std::string>* apelidos) {
    auto nomeColuna = [&](const std::string& tabela) {
        if (apelidos) {
            const int i = m.AchaTabela(tabela);
            if (i >= 0 && static_cast<std::size_t>(i) < apelidos->size())
                return (*apelidos)[static_cast<std::size_t>(i)];
        }
        return tabela;
    };
    auto nomeFrom = [&](const std::string& tabela) {
        const std::string a = nomeColuna(tabela);
        return a == tabela ? tabela : tabela + " " + a;
    };
    auto qualificada = [&](const std::string& tabela, const std::string& campo) {
        return ParaMinusculas(nomeColuna(tabela) + "." + campo);
    };

    std::vector<std::pair<std::string, std::string>> select; // item, function
    for (const auto& c : m.colunas)
        if (c.mostra == "Show") select.push_back({qualificada(c.tabela, c.campo), MaiusculasSemAcento(c.funcao)});
    if (select.empty()) {
        MensagensAtuais().Mostra("N\xE3o h\xE1 colunas selecionadas!");
        return std::nullopt;
    }

    std::vector<std::string> from, where, groupBy, orderBy, usadas;
    for (const auto& l : m.ligacoes) {
        const std::string op = OperadoresLigacao[std::clamp(l.operador, 0, 5)];
        const std::string c1 = qualificada(l.tabela1, m.NomeCampo(l.tabela1, l.campo1));
        const std::string c2 = qualificada(l.tabela2, m.NomeCampo(l.tabela2, l.campo2));
        if (l.tipo >= 1 && l.tipo <= 3) {
            static const char* const juncoes[] = {"", " LEFT OUTER JOIN ", " RIGHT OUTER JOIN ", " FULL OUTER JOIN "};
            from.push_back(ParaMinusculas(nomeFrom(l.tabela1)) + juncoes[l.tipo] + ParaMinusculas(nomeFrom(l.tabela2)) +
                           " ON " + c1 + op + c2);
            usadas.push_back(l.tabela1);
            usadas.push_back(l.tabela2);
        } else {
            where.push_back(c1 + op + c2);
        }
    }
    for (const auto& t : m.tabelas)
        if (std::find(usadas.begin(), usadas.end(), t.nome) == usadas.end()) from.push_back(nomeFrom(t.nome));

    int posicao = 0; // the column's place in the select list; hidden columns have none
    for (const auto& c : m.colunas) {
        const bool mostrada = c.mostra == "Show";
        if (mostrada) ++posicao;
        if (c.agrupa == "Group") groupBy.push_back(qualificada(c.tabela, c.campo));
        if (c.ordem == "Asc" || c.ordem == "Desc") {
            // A summary is sorted by its place in the list, or, hidden, by itself.
            std::string item = qualificada(c.tabela, c.campo);
            if (!c.funcao.empty())
                item = mostrada ? Inteiro(posicao) : MaiusculasSemAcento(c.funcao) + "(" + item + ")";
            if (c.ordem == "Desc") item += " DESC";
            orderBy.push_back(item);
        }
    }

    std::vector<std::string> sql{"SELECT "};
    for (std::size_t i = 0; i < select.size(); ++i) {
        const auto& [item, funcao] = select[i];
        std::string linha = "  " + (funcao.empty() ? item : funcao + "(" + item + ")");
        if (i + 1 < select.size()) linha += ", ";
        sql.push_back(linha);
    }
    Clausula(sql, "FROM  ", from);
    if (!where.empty()) {
        sql.push_back("WHERE  ");
        for (std::size_t i = 0; i < where.size(); ++i)
            sql.push_back("  " + where[i] + (i + 1 < where.size() ? " AND " : ""));
    }
    Clausula(sql, "GROUP BY  ", groupBy);
    Clausula(sql, "ORDER BY  ", orderBy);
    return sql;
}

std::string TextoModelo(const ModeloConstrutor& m) {
    std::string s = "# QBuilder\r\n# Don't change this file !\r\n[Options]\r\n";
    if (m.maximizada)
        s += "+\r\n";
    else
        s += Inteiro(m.topo) + "," + Inteiro(m.esquerda) + "," + Inteiro(m.altura) + "," + Inteiro(m.largura) + ";\r\n";
    s += std::string(m.tabelasVisiveis ? "1" : "0") + "," + Inteiro(m.larguraTabelas) + "," +
         (m.colunasVisiveis ? "1" : "0") + "," + Inteiro(m.alturaColunas) + ";\r\n";
    s += "[Database]\r\n" + m.banco + "," + (m.tabelasSistema ? "1" : "0") + ";\r\n";
    s += "[Tables]\r\n";
    for (const auto& t : m.tabelas) {
        s += t.nome + "," + Inteiro(t.topo) + "," + Inteiro(t.esquerda);
        for (bool b : t.marcados)
            s += b ? ",1" : ",0";
        s += ";\r\n";
    }
    s += "[Links]\r\n";
    for (const auto& l : m.ligacoes)
        s += l.tabela1 + "," + Inteiro(l.campo1) + "," + l.tabela2 + "," + Inteiro(l.campo2) + "," +
             Inteiro(l.operador) + "," + Inteiro(l.tipo) + ";\r\n";
    s += "[Columns]\r\n";
    for (std::size_t i = 0; i < m.colunas.size(); ++i) {
        const auto& c = m.colunas[i];
        s += Inteiro(static_cast<int>(i + 1)) + "," + c.campo + "," + c.tabela + "," + c.mostra + "," + c.ordem + "," +
             c.funcao + "," + c.agrupa + ";\r\n";
    }
    s += "[End]\r\n";
    return s;
}

void GravaModelo(const std::string& arquivo, const ModeloConstrutor& m) {
    GravaArquivoInteiro(arquivo, TextoModelo(m));
}

std::optional<ModeloConstrutor> LeModelo(const std::string& arquivo, const LeCamposTabela& leCampos) {
    return LeTextoModelo(LeArquivoInteiro(arquivo), arquivo, leCampos);
}

std::optional<ModeloConstrutor> LeTextoModelo(const std::string& texto, const std::string& arquivo,
                                              const LeCamposTabela& leCampos) {
    const std::vector<std::string> linhas = SeparaLinhas(texto);
    if (linhas.empty() || linhas[0] != "# QBuilder") {
        MensagensAtuais().Mostra("Arquivo " + arquivo + " n\xE3o cont\xE9m modelo de consulta!");
        return std::nullopt;
    }
    auto linha = [&](std::size_t n) { return n < linhas.size() ? linhas[n] : std::string(); };
    ModeloConstrutor m;
    const std::string janela = linha(3);
    if (!janela.empty() && janela[0] == '+') {
        m.maximizada = true;
    } else {
        const auto v = Itens(janela);
        if (v.size() >= 4) {
            m.topo = LeInteiro(v[0]);
            m.esquerda = LeInteiro(v[1]);
            m.altura = LeInteiro(v[2]);
            m.largura = LeInteiro(v[3]);
        }
    }
    if (const auto v = Itens(linha(4)); v.size() >= 4) {
        m.tabelasVisiveis = v[0] == "1";
        m.larguraTabelas = LeInteiro(v[1]);
        m.colunasVisiveis = v[2] == "1";
        m.alturaColunas = LeInteiro(v[3]);
    }
    if (const auto v = Itens(linha(6)); !v.empty()) {
        m.banco = v[0];
        m.tabelasSistema = v.size() > 1 && v[1] == "1";
    }

    std::size_t n = 8;
    for (; n < linhas.size() && linhas[n] != "[Links]"; ++n) {
        const auto v = Itens(linhas[n]);
        if (v.empty() || v[0].empty()) continue;
        const auto campos = leCampos ? leCampos(m.banco, v[0]) : std::nullopt;
        if (!campos || m.AchaTabela(v[0]) >= 0) continue;
        TabelaModelo t{v[0], v.size() > 1 ? LeInteiro(v[1]) : 0, v.size() > 2 ? LeInteiro(v[2]) : 0, {"*"}, {}};
        t.campos.insert(t.campos.end(), campos->begin(), campos->end());
        t.marcados.assign(t.campos.size(), false);
        // Ticks beyond the fields the table has now are dropped.
        for (std::size_t k = 3; k < v.size() && k - 3 < t.marcados.size(); ++k)
            t.marcados[k - 3] = v[k] == "1";
        m.tabelas.push_back(std::move(t));
    }
    for (++n; n < linhas.size() && linhas[n] != "[Columns]"; ++n) {
        const auto v = Itens(linhas[n]);
        if (v.size() < 6) continue;
        LigacaoModelo l{v[0],
                        LeInteiro(v[1]),
                        v[2],
                        LeInteiro(v[3]),
                        std::clamp(LeInteiro(v[4]), 0, 5),
                        std::clamp(LeInteiro(v[5]), 0, 3)};
        // A link whose table or field is gone would give SQL naming nothing.
        if (m.NomeCampo(l.tabela1, l.campo1).empty() || m.NomeCampo(l.tabela2, l.campo2).empty()) continue;
        m.ligacoes.push_back(l);
    }
    for (++n; n < linhas.size() && linhas[n] != "[End]"; ++n) {
        const auto v = Itens(linhas[n]);
        if (v.size() < 7 || m.AchaTabela(v[2]) < 0) continue;
        m.colunas.push_back({v[1], v[2], v[3], v[4], v[5], v[6]});
    }
    return m;
}

} // namespace dorvan
