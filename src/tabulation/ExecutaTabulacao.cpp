// The tabulation run. The calling thread checks the choices, shapes the table,
// walks the list of data files and merges, in file order, what worker threads
// tabulated from each file; then it finishes the table.
#include "tabulation/ExecutaTabulacao.h"

#include "data/LeDBF32.h"
#include "data/Ucomprim.h"
#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "table/LogExecucao.h"
#include "table/TabelaResultados.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <functional>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace fs = std::filesystem;

namespace dorvan {

namespace {

const std::string kNaoClassificados = "N\xE3o classificados";

using Relogio = std::chrono::steady_clock;

long long MsDesde(Relogio::time_point inicio) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Relogio::now() - inicio).count();
}

} // namespace

std::string TextoArquivoLidoEmParte(const std::string& arquivo, const std::vector<std::string>& completos) {
    std::string texto = "Os registros de " + arquivo + " ficaram fora da tabela";
    if (completos.empty()) return texto + "; nenhum arquivo foi lido por inteiro";
    texto += ", que cont\xE9m apenas os arquivos lidos por inteiro: ";
    for (std::size_t i = 0; i < completos.size(); ++i)
        texto += (i ? ", " : "") + completos[i];
    return texto;
}

namespace {

std::string SemPasta(const std::string& caminho) {
    std::size_t barra = caminho.find_last_of("/\\");
    return barra == std::string::npos ? caminho : caminho.substr(barra + 1);
}

std::string PastaDe(const std::string& caminho) {
    std::string c = BarrasNormais(caminho);
    std::size_t barra = c.find_last_of('/');
    return barra == std::string::npos ? std::string() : c.substr(0, barra + 1);
}

bool EArquivoDados(const std::string& nome) {
    std::string m = MaiusculasAscii(nome);
    return m.size() >= 4 && (m.ends_with(".DBC") || m.ends_with(".DBF"));
}

// ---------------------------------------------------------------------------
// What a file's tabulation hands to the merge, in the order it happened.

struct Evento {
    enum Tipo { Mostra, Log, ValoresInvalidos } tipo;
    std::string texto;              // message or log line; ValoresInvalidos: the first value
    std::string campo;              // ValoresInvalidos: the dimension's field
    std::int64_t contagem = 0;      // ValoresInvalidos: how many
};

// Messages of the data layer raised on a worker thread are kept for the merge, so
// they reach the user from the window thread and in file order.
class MensagensPorFio : public Mensagens {
public:
    explicit MensagensPorFio(Mensagens& destino) : destino_(destino) {}
    static thread_local std::vector<Evento>* coleta;

    void Mostra(const std::string& texto) override {
        if (coleta)
            coleta->push_back({Evento::Mostra, texto, {}, 0});
        else
            destino_.Mostra(texto);
    }
    int Confirma(const std::string& titulo, const std::string& texto, const std::vector<std::string>& botoes) override {
        if (coleta) {
            Mostra(texto);
            return botoes.empty() ? 0 : static_cast<int>(botoes.size()) - 1;
        }
        return destino_.Confirma(titulo, texto, botoes);
    }
    bool SimOuNao(const std::string& titulo, const std::string& texto) override {
        if (coleta) {
            Mostra(texto);
            return false;
        }
        return destino_.SimOuNao(titulo, texto);
    }
    std::string EntraTexto(const std::string& pergunta, const std::string& padrao) override {
        return coleta ? padrao : destino_.EntraTexto(pergunta, padrao);
    }
    bool PerguntaNumero(const std::string& pergunta, const std::string& padrao, std::string& resposta) override {
        return coleta ? false : destino_.PerguntaNumero(pergunta, padrao, resposta);
    }

private:
    Mensagens& destino_;
};
thread_local std::vector<Evento>* MensagensPorFio::coleta = nullptr;

struct ResultadoArquivo {
    std::vector<Evento> eventos;
    bool aberto = false;
    bool aborta = false;
    bool varreu = false; // the scan ran (cells below are meaningful)
    std::string digitos;
    std::int64_t registros = 0;
    // Local rows: 1..N as the row categories, N+1 the unclassified row (Incluir),
    // N+2.. the new codes of this file in order of first encounter (Discriminar).
    // Local columns 1..ncol, ncol+1 the unclassified column. Row-major.
    std::vector<double> celulas;
    std::vector<std::string> novos;
    bool viuNaoClassLinha = false;
    bool viuNaoClassColuna = false;
    std::vector<int> decimaisIncr; // -1: no field
    std::vector<char> exportados;
    std::int64_t numExportados = 0;
};

// Everything a worker needs, fixed for the run.
struct Configuracao {
    const TDimensao* linha = nullptr;
    const TDimensao* coluna = nullptr; // null: no column variable
    std::vector<const TDimensao*> selecoes;
    std::vector<std::string> camposIncr; // empty: frequency
    int modo = 0;
    bool discrimina = false; // Discriminar on a key-table row
    int ncol = 1;            // value columns before any unclassified one
    bool testaCRC = false;
    bool temPeriodo = false;
    // Export: output fields (names) and a field layout for PutFieldDBF.
    bool exporta = false;
    std::vector<CampoDBF> camposExportacao;
    std::uint16_t tamRegExportacao = 0;
};

// Stops a file that the merge will never use.
struct Interrompido {};

// Where the code of a dimension lies in the record.
// A code that runs past the end of the record reads blanks there: the bytes that
// exist are copied into `extensao`, which already holds the blanks.
struct Vista {
    std::uint32_t desloc = 0, tam = 0;
    std::uint32_t existe = 0; // bytes inside the record; below tam only at its end
    mutable std::string extensao;
    std::string_view De(const char* r) const {
        if (existe == tam) return std::string_view(r + desloc, tam);
        std::memcpy(extensao.data(), r + desloc, existe);
        return extensao;
    }
};

// A whole field, always inside the record.
Vista VistaCampo(const CampoDBF& c) {
    Vista v;
    v.desloc = c.Deslocamento;
    v.tam = v.existe = c.Tamanho;
    return v;
}

// The code may run past its field into the next ones.
Vista VistaDe(const TDimensao& d, const dbfRecord& h) {
    const ExtensaoCodigo e = ExtensaoDaDimensao(d, h);
    Vista v;
    v.desloc = static_cast<std::uint32_t>(e.desloc);
    v.tam = static_cast<std::uint32_t>(e.tamanho);
    v.existe = static_cast<std::uint32_t>(e.existe);
    if (v.existe < v.tam) v.extensao.assign(e.tamanho, ' ');
    return v;
}

// Classifies field values as Categoria does, faster: direct tables compute the code
// number in place, key tables remember the category of every code already seen (a
// file holds few distinct codes and many records). Bound tables go to Categoria.
class Classificador {
public:
    void Prepara(const TDimensao& d) {
        d_ = &d;
        inicio_ = d.Inicio > 0 ? d.Inicio - 1u : 0u;
        comp_ = d.CompCodigo;
        modo_ = d.Modo;
        naoClass_ = d.NumCategorias + 1;
        cache_ = modo_ == 1 && comp_ >= 1 && comp_ <= 8;
        if (cache_) {
            vagas_.assign(1u << 12, Vaga{});
            ocupados_ = 0;
        }
    }

    std::int32_t operator()(std::string_view valor) {
        if (modo_ == 0) return Direta(valor);
        if (cache_) return ComCache(valor);
        return Categoria(valor, *d_);
    }

private:
    std::string_view Codigo(std::string_view valor) const {
        return inicio_ < valor.size() ? valor.substr(inicio_, comp_) : std::string_view();
    }

    // The number CodigoParaNumero gives, without building a text.
    std::int32_t Direta(std::string_view valor) const {
        std::string_view c = Codigo(valor);
        std::uint32_t n = 0;
        if (!c.empty()) {
            for (char x : c)
                if (x == '+' || x == '-') return naoClass_;
            char primeiro = c[0] == ' ' ? '0' : c[0];
            if (primeiro >= '[' && primeiro <= '`') return naoClass_;
            std::size_t i = 0;
            std::uint32_t peso = 0;
            if ((primeiro >= 'A' && primeiro <= 'Z') || (primeiro >= 'a' && primeiro <= 'z')) {
                std::uint32_t potencia = 1;
                for (std::size_t k = 1; k < c.size(); ++k) potencia *= 10;
                peso = static_cast<std::uint32_t>((primeiro & ~0x20) - 'A' + 1) * potencia;
                i = 1;
            }
            for (; i < c.size(); ++i) n = n * 10 + (c[i] >= '0' && c[i] <= '9' ? static_cast<std::uint32_t>(c[i] - '0') : 0u);
            n += peso;
            if (n >= CodigoForaDaTabela) return naoClass_;
        }
        return n < d_->Direta.size() ? d_->Direta[n] : naoClass_;
    }

    std::int32_t ComCache(std::string_view valor) {
        std::string_view c = Codigo(valor);
        if (c.size() != comp_) return Categoria(valor, *d_);
        std::uint64_t chave = 0;
        std::memcpy(&chave, c.data(), c.size());
        const std::size_t mascara = vagas_.size() - 1;
        std::size_t i = static_cast<std::size_t>((chave * 0x9E3779B97F4A7C15ull) >> 40) & mascara;
        while (vagas_[i].valor != 0) {
            if (vagas_[i].chave == chave) return vagas_[i].valor;
            i = (i + 1) & mascara;
        }
        std::int32_t k = Categoria(valor, *d_);
        if (ocupados_ * 2 >= vagas_.size()) {
            if (vagas_.size() >= (1u << 22)) return k; // codes without end: stop remembering
            Cresce();
            return k;
        }
        vagas_[i] = {chave, k};
        ++ocupados_;
        return k;
    }

    void Cresce() {
        std::vector<Vaga> novas(vagas_.size() * 2);
        const std::size_t mascara = novas.size() - 1;
        for (const Vaga& v : vagas_) {
            if (v.valor == 0) continue;
            std::size_t i = static_cast<std::size_t>((v.chave * 0x9E3779B97F4A7C15ull) >> 40) & mascara;
            while (novas[i].valor != 0) i = (i + 1) & mascara;
            novas[i] = v;
        }
        vagas_.swap(novas);
    }

    // A remembered code (up to 8 bytes) and its category; 0 = empty slot, as
    // categories start at 1. Key and value share a cache line.
    struct Vaga {
        std::uint64_t chave = 0;
        std::int32_t valor = 0;
    };

    const TDimensao* d_ = nullptr;
    std::size_t inicio_ = 0, comp_ = 0;
    std::uint8_t modo_ = 0;
    std::int32_t naoClass_ = 1;
    bool cache_ = false;
    std::vector<Vaga> vagas_;
    std::size_t ocupados_ = 0;
};

// Tabulates one file at a time on a worker thread. It keeps its own copies of the
// dimensions: Categoria counts odd values in them and each file binds their fields.
class Trabalhador {
public:
    explicit Trabalhador(const Configuracao& cfg) : cfg_(cfg) {
        linha_ = *cfg.linha;
        if (cfg.coluna) coluna_ = *cfg.coluna;
        for (auto* s : cfg.selecoes) selecoes_.push_back(*s);
        modelo_.NumCampos = static_cast<int>(cfg.camposExportacao.size());
        modelo_.Campos = cfg.camposExportacao;
        modelo_.TamRegistro = cfg.tamRegExportacao;
    }

    void Tabula(const std::string& caminho, ResultadoArquivo& r, const std::function<bool()>& parar,
                std::atomic<std::int64_t>& contador) {
        MensagensPorFio::coleta = &r.eventos;
        try {
            TabulaArquivo(caminho, r, parar, contador);
        } catch (const Interrompido&) {
            r.aborta = true;
        } catch (const std::exception& e) {
            r.eventos.push_back({Evento::Mostra, e.what(), {}, 0});
            r.aborta = true;
        }
        MensagensPorFio::coleta = nullptr;
    }

private:
    void FaltaCampo(ResultadoArquivo& r, const std::string& campo, const dbfRecord& h) {
        r.eventos.push_back({Evento::Mostra, CampoNaoEncontrado(campo, h.Nome), {}, 0});
        r.aborta = true;
    }

    bool Liga(TDimensao& d, const dbfRecord& h, Vista& v, ResultadoArquivo& r) {
        d.NumCampo = static_cast<std::uint16_t>(FieldDBF(h, d.Campo));
        if (d.NumCampo == 0) {
            FaltaCampo(r, d.Campo, h);
            return false;
        }
        d.TamCampo = h.Campo(d.NumCampo).Tamanho;
        v = VistaDe(d, h);
        return true;
    }

    void TabulaArquivo(const std::string& caminho, ResultadoArquivo& r, const std::function<bool()>& parar,
                       std::atomic<std::int64_t>& contador) {
        dbfRecord h;
        OpenDBF(h, caminho, true); // data files are only read
        if (h.Estado == 0) {
            r.aborta = true;
            return;
        }
        r.aberto = true;
        if (cfg_.temPeriodo) r.digitos = SoDigitos(caminho);

        std::vector<int> fonteExportacao;
        if (cfg_.exporta)
            for (const auto& c : cfg_.camposExportacao) fonteExportacao.push_back(FieldDBF(h, c.Nome));

        Vista vLinha, vColuna;
        std::vector<Vista> vSel(selecoes_.size());
        if (!Liga(linha_, h, vLinha, r)) return;
        if (cfg_.coluna && !Liga(coluna_, h, vColuna, r)) return;
        for (std::size_t i = 0; i < selecoes_.size(); ++i)
            if (!Liga(selecoes_[i], h, vSel[i], r)) return;

        const std::size_t nIncr = cfg_.camposIncr.size();
        std::vector<Vista> vIncr(nIncr);
        std::vector<char> temCampo(nIncr, 0);
        r.decimaisIncr.assign(nIncr, -1);
        for (std::size_t k = 0; k < nIncr; ++k) {
            if (cfg_.camposIncr[k].empty()) continue;
            int n = FieldDBF(h, cfg_.camposIncr[k]);
            if (n == 0) {
                FaltaCampo(r, cfg_.camposIncr[k], h);
                return;
            }
            const CampoDBF& c = h.Campo(n);
            vIncr[k] = VistaCampo(c);
            temCampo[k] = 1;
            r.decimaisIncr[k] = c.Decimais;
        }

        const std::int32_t N = linha_.NumCategorias;
        const int ncol = cfg_.ncol;
        const std::size_t largura = static_cast<std::size_t>(ncol) + 2; // columns 0..ncol+1
        r.celulas.assign((static_cast<std::size_t>(N) + 2) * largura, 0.0);
        std::map<std::string, std::int32_t, std::less<>> novos;
        std::vector<double> valores(nIncr, 1.0);
        std::vector<char> registroExp(cfg_.tamRegExportacao, ' ');
        std::int64_t lidos = 0;
        const TDimensao* col = cfg_.coluna ? &coluna_ : nullptr;
        Classificador cLinha, cColuna;
        std::vector<Classificador> cSel(selecoes_.size());
        cLinha.Prepara(linha_);
        if (col) cColuna.Prepara(coluna_);
        for (std::size_t i = 0; i < selecoes_.size(); ++i) cSel[i].Prepara(selecoes_[i]);

        r.varreu = true;
        std::vector<Vista> vExportacao(fonteExportacao.size());
        for (std::size_t j = 0; j < fonteExportacao.size(); ++j)
            if (fonteExportacao[j] != 0)
                vExportacao[j] = VistaCampo(h.Campo(fonteExportacao[j]));
        auto processa = [&](const char* rec) {
            if (rec[0] == '*') return; // deleted
            if ((++lidos & 0xFFF) == 0) {
                contador.fetch_add(0x1000, std::memory_order_relaxed);
                if (parar()) throw Interrompido{};
            }
            for (std::size_t i = 0; i < selecoes_.size(); ++i) {
                std::int32_t k = cSel[i](vSel[i].De(rec));
                if (!selecoes_[i].Marcadas[static_cast<std::size_t>(k - 1)]) return;
            }
            if (cfg_.exporta) {
                std::memset(registroExp.data(), ' ', registroExp.size());
                for (std::size_t j = 0; j < fonteExportacao.size(); ++j)
                    if (fonteExportacao[j] != 0)
                        PutFieldDBF(modelo_, static_cast<int>(j) + 1, vExportacao[j].De(rec), registroExp.data());
                r.exportados.insert(r.exportados.end(), registroExp.begin(), registroExp.end());
                ++r.numExportados;
            }
            std::int32_t lin = cLinha(vLinha.De(rec));
            if (lin > N) {
                if (cfg_.modo == 1) {
                    r.viuNaoClassLinha = true;
                    lin = N + 1;
                } else if (cfg_.discrimina) {
                    std::string_view codigo = vLinha.De(rec);
                    auto it = novos.find(codigo);
                    if (it == novos.end()) {
                        std::int32_t local = N + 2 + static_cast<std::int32_t>(r.novos.size());
                        it = novos.emplace(std::string(codigo), local).first;
                        r.novos.emplace_back(codigo);
                        r.celulas.resize(r.celulas.size() + largura, 0.0);
                    }
                    lin = it->second;
                } else {
                    return; // Ignorar: no visible effect
                }
            }
            int c = ncol;
            if (col) {
                c = cColuna(vColuna.De(rec));
                if (c > ncol) {
                    if (cfg_.modo == 0) return;
                    r.viuNaoClassColuna = true;
                    c = ncol + 1;
                }
            }
            double* celulas = r.celulas.data() + static_cast<std::size_t>(lin) * largura;
            if (nIncr == 0) {
                celulas[c] += 1;
            } else if (col || nIncr == 1) {
                celulas[c] += temCampo[0] ? LePrefixoNumerico(vIncr[0].De(rec)) : 1.0;
            } else {
                for (std::size_t k = 0; k < nIncr; ++k)
                    celulas[k + 1] += temCampo[k] ? LePrefixoNumerico(vIncr[k].De(rec)) : 1.0;
            }
        };

        bool ok;
        const char ultimo = h.Nome.empty() ? ' ' : h.Nome.back();
        if (paralelo_ && (ultimo == 'C' || ultimo == 'c'))
            ok = VarreEmParalelo(h, processa, r);
        else
            ok = ScanDBF(h, [&](dbfRecord& a) { processa(a.RegistroAtual); }, cfg_.testaCRC);
        contador.fetch_add(lidos & 0xFFF, std::memory_order_relaxed);
        r.registros = lidos;
        if (!ok) {
            r.aborta = true;
            r.eventos.push_back({Evento::Log, "*** Erro de CRC no arquivo " + SemPasta(h.Nome) + " ***", {}, 0});
        }
        auto avisa = [&](TDimensao& d) {
            if (d.ValoresInvalidos == 0) return;
            r.eventos.push_back({Evento::ValoresInvalidos, d.PrimeiroInvalido, d.Campo, d.ValoresInvalidos});
            d.ValoresInvalidos = 0;
            d.PrimeiroInvalido.clear();
        };
        avisa(linha_);
        if (cfg_.coluna) avisa(coluna_);
        for (auto& s : selecoes_) avisa(s);
    }

    // Expands the file on a thread of its own and classifies here: a DBC then takes
    // about the time of its bare expansion. Records go across in batches, in order.
    template <typename Processa>
    bool VarreEmParalelo(dbfRecord& h, Processa& processa, ResultadoArquivo& r) {
        const std::size_t L = h.TamRegistro;
        const std::size_t porLote = std::max<std::size_t>(1, (std::size_t{1} << 18) / std::max<std::size_t>(L, 1));
        struct Lote {
            std::vector<char> bytes;
            std::size_t n = 0;
        };
        std::mutex m;
        std::condition_variable cv;
        std::deque<Lote> cheios;
        std::vector<Lote> livres(4);
        for (auto& l : livres) l.bytes.resize(porLote * L);
        bool fim = false, okScan = false;
        std::atomic<bool> pararProdutor{false};
        std::exception_ptr erro;
        std::vector<Evento> eventosScan;

        std::thread produtor([&] {
            MensagensPorFio::coleta = &eventosScan;
            Lote atual;
            auto pega = [&] {
                std::unique_lock<std::mutex> trava(m);
                cv.wait(trava, [&] { return !livres.empty() || pararProdutor.load(); });
                if (pararProdutor.load()) throw Interrompido{};
                atual = std::move(livres.back());
                livres.pop_back();
                atual.n = 0;
            };
            auto entrega = [&] {
                std::lock_guard<std::mutex> trava(m);
                cheios.push_back(std::move(atual));
                cv.notify_all();
            };
            try {
                pega();
                okScan = ScanDBF(
                    h,
                    [&](dbfRecord& a) {
                        std::memcpy(atual.bytes.data() + atual.n * L, a.RegistroAtual, L);
                        if (++atual.n == porLote) {
                            entrega();
                            pega();
                        }
                    },
                    cfg_.testaCRC);
                if (atual.n > 0) entrega();
            } catch (const Interrompido&) {
            } catch (...) {
                erro = std::current_exception();
            }
            MensagensPorFio::coleta = nullptr;
            std::lock_guard<std::mutex> trava(m);
            fim = true;
            cv.notify_all();
        });

        std::exception_ptr erroConsumo;
        try {
            while (true) {
                Lote lote;
                {
                    std::unique_lock<std::mutex> trava(m);
                    cv.wait(trava, [&] { return !cheios.empty() || fim; });
                    if (cheios.empty()) break;
                    lote = std::move(cheios.front());
                    cheios.pop_front();
                }
                for (std::size_t i = 0; i < lote.n; ++i) processa(lote.bytes.data() + i * L);
                std::lock_guard<std::mutex> trava(m);
                livres.push_back(std::move(lote));
                cv.notify_all();
            }
        } catch (...) {
            erroConsumo = std::current_exception();
            std::lock_guard<std::mutex> trava(m);
            pararProdutor.store(true);
            cv.notify_all();
        }
        produtor.join();
        r.eventos.insert(r.eventos.end(), eventosScan.begin(), eventosScan.end());
        if (erroConsumo) std::rethrow_exception(erroConsumo);
        if (erro) std::rethrow_exception(erro);
        return okScan;
    }

public:
    bool paralelo_ = false;

private:
    const Configuracao& cfg_;
    TDimensao linha_, coluna_;
    std::vector<TDimensao> selecoes_;
    dbfRecord modelo_;
};

// ---------------------------------------------------------------------------
// The steps of the file loop: log lines, files and pauses of list files.

struct Passo {
    enum Tipo { Log, Arquivo, Pausa, Mensagem } tipo;
    std::string texto; // log line, file path, or the pause's / message's text
};

// Expands the selected items into steps, one pause at a time: the files matched
// after a "PAUS" line are looked for only after the user answered it.
class Roteiro {
public:
    Roteiro(const DefTabulacao& def, const std::vector<std::string>& itens)
        : def_(def), itens_(itens), pasta_(PastaDaCuringa(def)) {}

    // The steps up to and including the next pause (or to the end). Empty at the end.
    std::vector<Passo> Proximos() {
        std::vector<Passo> passos;
        while (true) {
            if (listaAberta_) {
                while (linha_ < linhasLista_.size()) {
                    std::string l = linhasLista_[linha_++];
                    if (TiraBrancos(l).empty()) continue;
                    if (MaiusculasAscii(l.substr(0, 4)) == "PAUS") {
                        passos.push_back({Passo::Pausa, l.size() > 6 ? l.substr(6) : std::string()});
                        return passos;
                    }
                    passos.push_back({Passo::Log, "Espec=" + l});
                    for (auto& a : ArquivosDaLinha(l)) passos.push_back({Passo::Arquivo, a});
                }
                listaAberta_ = false;
            }
            if (item_ >= itens_.size()) return passos;
            const std::string& item = itens_[item_++];
            passos.push_back({Passo::Log, item});
            std::string caminho = NomeReal(pasta_, item);
            if (EArquivoDados(item)) {
                passos.push_back({Passo::Arquivo, caminho});
                continue;
            }
            try {
                std::string texto = LeArquivoInteiro(caminho);
                linhasLista_ = Linhas(texto);
                linha_ = 0;
                listaAberta_ = true;
            } catch (const std::exception& e) {
                passos.push_back({Passo::Mensagem, e.what()});
                return passos;
            }
        }
    }

    static std::vector<std::string> Linhas(const std::string& texto) { return LinhasDoTexto(texto, 255); }

    // The files a list line names, in name order, each by its real name on disk.
    std::vector<std::string> ArquivosDaLinha(const std::string& linha) const {
        std::string l = BarrasNormais(TiraBrancos(linha));
        std::string pasta = PastaDe(l);
        std::string padrao = l.substr(pasta.size());
        if (!pasta.empty() && pasta[0] != '/' && !def_.PastaDEF.empty()) pasta = def_.PastaDEF + pasta;
        if (pasta.empty()) pasta = def_.PastaDEF;
        if (!pasta.empty()) {
            std::string real = ResolveNome(pasta);
            if (!real.empty()) pasta = real.back() == '/' ? real : real + '/';
        }
        std::vector<std::string> r;
        for (auto& n : ListaArquivos(pasta, padrao)) r.push_back(pasta + n);
        return r;
    }

private:
    const DefTabulacao& def_;
    const std::vector<std::string>& itens_;
    std::string pasta_;
    std::size_t item_ = 0;
    bool listaAberta_ = false;
    std::vector<std::string> linhasLista_;
    std::size_t linha_ = 0;
};

// ---------------------------------------------------------------------------
// The file loop: workers tabulate files, the calling thread merges in order.

class Execucao {
public:
    Execucao(const Configuracao& cfg, int threads, Progresso& progresso)
        : cfg_(cfg), threads_(std::max(1, threads)), progresso_(progresso) {}

    // Tabulates the files of `passos`; `aplica` receives each step's result in order
    // (null for non-file steps) and returns false to stop. Returns false when stopped.
    template <typename Aplica>
    bool Executa(const std::vector<Passo>& passos, Aplica&& aplica, const std::string& andamentoInicial) {
        std::vector<std::size_t> arquivos; // positions of file steps
        for (std::size_t i = 0; i < passos.size(); ++i)
            if (passos[i].tipo == Passo::Arquivo) arquivos.push_back(i);
        const std::size_t n = arquivos.size();
        slots_.clear();
        slots_.resize(n);
        pronto_.assign(n, 0);
        proximo_ = 0;
        limite_.store(n, std::memory_order_relaxed);
        parar_.store(false);
        cometidos_ = 0;

        std::vector<std::thread> fios;
        const std::size_t nf = std::min<std::size_t>(static_cast<std::size_t>(threads_), n);
        // Cores left over when there are fewer files than threads expand DBC files.
        paralelo_ = nf * 2 <= static_cast<std::size_t>(threads_);
        for (std::size_t f = 0; f < nf; ++f)
            fios.emplace_back([this, &passos, &arquivos] { Trabalha(passos, arquivos); });

        struct Junta {
            Execucao* e;
            std::vector<std::thread>& fios;
            ~Junta() {
                e->Limita(0);
                for (auto& f : fios)
                    if (f.joinable()) f.join();
            }
        } junta{this, fios};
        bool continua = true;
        std::string atual = andamentoInicial;
        std::size_t arq = 0;
        for (std::size_t i = 0; i < passos.size() && continua; ++i) {
            if (passos[i].tipo != Passo::Arquivo) {
                continua = aplica(passos[i], nullptr);
                continue;
            }
            atual = passos[i].texto;
            // Wait for this file, showing progress and watching for a cancel.
            {
                std::unique_lock<std::mutex> trava(mutex_);
                while (!pronto_[arq]) {
                    cv_.wait_for(trava, std::chrono::milliseconds(40));
                    trava.unlock();
                    Mostra(atual);
                    if (progresso_.Cancelado()) Limita(arq + 1);
                    trava.lock();
                }
            }
            std::unique_ptr<ResultadoArquivo> r = std::move(slots_[arq]);
            {
                std::lock_guard<std::mutex> trava(mutex_);
                cometidos_ = arq + 1;
            }
            cv_.notify_all();
            continua = aplica(passos[i], r.get());
            // Many quick files never make the merge wait: keep the window alive anyway.
            if (Relogio::now() - ultimaVez_ >= std::chrono::milliseconds(50)) Mostra(atual);
            r.reset();
            ++arq;
            if (continua && progresso_.Cancelado()) continua = false;
        }
        Limita(0);
        for (auto& f : fios) f.join();
        base_ += contador_.exchange(0);
        return continua;
    }

private:
    void Mostra(const std::string& atual) {
        ultimaVez_ = Relogio::now();
        progresso_.Agora(static_cast<std::uint64_t>(base_ + contador_.load()), 0, atual);
    }

    // No file at or after `fim` is started or finished.
    void Limita(std::size_t fim) {
        {
            std::lock_guard<std::mutex> trava(mutex_);
            if (fim < limite_.load()) limite_.store(fim);
            parar_.store(true);
        }
        cv_.notify_all();
    }

    void Trabalha(const std::vector<Passo>& passos, const std::vector<std::size_t>& arquivos) {
        Trabalhador t(cfg_);
        t.paralelo_ = paralelo_;
        while (true) {
            std::size_t i;
            {
                std::unique_lock<std::mutex> trava(mutex_);
                // Keep at most threads_ files ahead of the merge, so finished results
                // waiting for it stay few.
                cv_.wait(trava, [&] {
                    return proximo_ >= limite_.load() || proximo_ < cometidos_ + static_cast<std::size_t>(threads_);
                });
                if (proximo_ >= limite_.load()) return;
                i = proximo_++;
            }
            auto r = std::make_unique<ResultadoArquivo>();
            // A file the merge may still need is always finished.
            std::function<bool()> parar = [this, i] { return parar_.load() && i >= limite_.load(); };
            t.Tabula(passos[arquivos[i]].texto, *r, parar, contador_);
            {
                std::lock_guard<std::mutex> trava(mutex_);
                slots_[i] = std::move(r);
                pronto_[i] = 1;
            }
            cv_.notify_all();
        }
    }

    const Configuracao& cfg_;
    int threads_;
    bool paralelo_ = false;
    Progresso& progresso_;
    Relogio::time_point ultimaVez_ = Relogio::now();
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::unique_ptr<ResultadoArquivo>> slots_;
    std::vector<char> pronto_;
    std::size_t proximo_ = 0;
    std::size_t cometidos_ = 0;
    std::atomic<std::size_t> limite_{0};
    std::atomic<bool> parar_{false};
    std::atomic<std::int64_t> contador_{0};
    std::int64_t base_ = 0;
};

// ---------------------------------------------------------------------------

std::string TituloItem(const std::string& item) { return TiraBrancosDir(item.substr(0, 18)); }

// The selection lines of the log: "<title>: a,b,c", wrapped before 80 characters.
void LogaSelecao(LogExecucao& log, const TDimensao& d) {
    std::string linha = d.Titulo + ":";
    bool primeiro = true;
    for (std::int32_t k = 1; k <= d.NumCategorias; ++k) {
        if (!d.Marcadas[static_cast<std::size_t>(k - 1)]) continue;
        const std::string& rotulo = d.NomesCategoria[static_cast<std::size_t>(k)];
        std::string sep = primeiro ? " " : ",";
        if (!primeiro && linha.size() + sep.size() + rotulo.size() > 80) {
            log.Acrescenta(linha + sep);
            linha = "    " + rotulo;
        } else {
            linha += sep + rotulo;
        }
        primeiro = false;
    }
    log.Acrescenta(linha);
}

bool MesmoArquivo(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

} // namespace

std::string TextoTempoDecorrido(long long ms) {
    long long ticks = ms / 200;
    long long mostrado = ticks >= 1 ? ticks - ((ticks - 1) % 5) : 0; // ticks 1, 6, 11, ...
    if (mostrado == 0) return "0:00";
    long long seg = (mostrado / 5) % 60;
    return std::to_string(mostrado / 300) + ":" + (seg < 10 ? "0" : "") + std::to_string(seg);
}

ResultadoTabulacao ExecutaTabulacao(DefTabulacao& def, const OpcoesTabulacao& op, TabelaResultados& t,
                                    LogExecucao& log, InterfaceTabulacao& ui, Progresso& progresso) {
    ResultadoTabulacao res;
    Mensagens& msg = MensagensAtuais();
    const auto inicio = Relogio::now();

    // 1. Checks.
    std::vector<int> incr;
    for (int i : op.Incrementos)
        if (i >= 0 && i < static_cast<int>(def.ListIncr.size())) incr.push_back(i);
    const bool temColuna = op.Coluna > 0 && op.Coluna < static_cast<int>(def.ListColunas.size());
    if (op.Arquivos.empty()) {
        msg.Mostra("Nenhum arquivo selecionado!");
        return res;
    }
    if (op.Linha < 0 || op.Linha >= static_cast<int>(def.ListLinha.size())) {
        msg.Mostra("Linha n\xE3o Selecionada");
        return res;
    }
    if (incr.size() > 1 && temColuna) {
        msg.Mostra("M\xFAltiplas colunas \xE9 incompat\xEDvel com m\xFAltiplos incrementos");
        return res;
    }
    if (incr.size() > 255) {
        msg.Mostra("Numero de incrementos selecionados excede 255");
        return res;
    }
    const int numSel = static_cast<int>(std::min<std::size_t>(def.ListSelecao.size(), MaxSelecoes));
    for (int s = 0; s < numSel; ++s) {
        const TDimensao& d = def.Selecao(s);
        bool algum = d.NumCategorias > 0 && std::any_of(d.Marcadas.begin(), d.Marcadas.end(), [](auto m) { return m != 0; });
        if (!algum) {
            msg.Mostra("Nenhuma categoria selecionada em " + def.ListSelecao[static_cast<std::size_t>(s)].substr(0, 18));
            return res;
        }
    }

    const std::string pastaDados = PastaDaCuringa(def);

    // 2. Record export.
    dbfRecord exportacao;
    bool exporta = false;
    std::vector<CampoDBF> camposExp;
    if (op.SalvaRegistros) {
        std::string nomeSaida;
        if (ui.EscolheArquivoExportacao(nomeSaida)) {
            // Every file the run reads, list files included, is kept from being overwritten.
            std::vector<std::string> entradas;
            for (const auto& item : op.Arquivos)
                if (!EArquivoDados(item)) entradas.push_back(NomeReal(pastaDados, item));
            {
                Roteiro todos(def, op.Arquivos);
                for (auto p = todos.Proximos(); !p.empty(); p = todos.Proximos())
                    for (auto& passo : p)
                        if (passo.tipo == Passo::Arquivo) entradas.push_back(passo.texto);
            }
            std::string primeiro;
            const std::string& item = op.Arquivos.front();
            if (EArquivoDados(item)) {
                primeiro = NomeReal(pastaDados, item);
            } else {
                try {
                    Roteiro r(def, op.Arquivos);
                    for (auto& l : Roteiro::Linhas(LeArquivoInteiro(NomeReal(pastaDados, item)))) {
                        if (MaiusculasAscii(l.substr(0, 4)) == "PAUS") continue;
                        auto a = r.ArquivosDaLinha(l);
                        if (!a.empty()) {
                            primeiro = a.front();
                            break;
                        }
                    }
                } catch (const std::exception& e) {
                    msg.Mostra(e.what());
                }
            }
            bool entrada = std::any_of(entradas.begin(), entradas.end(),
                                       [&](const std::string& e) { return MesmoArquivo(e, nomeSaida); });
            if (entrada) {
                msg.Mostra(nomeSaida + " \xE9 um dos arquivos de dados: Registros n\xE3o ser\xE3o salvos");
            } else if (!primeiro.empty()) {
                dbfRecord fonte;
                OpenDBF(fonte, primeiro, true);
                if (fonte.Estado != 0) {
                    std::vector<std::string> nomes, escolhidos;
                    for (const auto& c : fonte.Campos) nomes.push_back(c.Nome);
                    if (ui.EscolheCampos(nomes, escolhidos) && !escolhidos.empty()) {
                        for (const auto& e : escolhidos) {
                            int n = FieldDBF(fonte, e);
                            if (n == 0) continue;
                            CampoDBF c = fonte.Campo(n);
                            camposExp.push_back(c);
                        }
                    }
                    if (!camposExp.empty()) {
                        CreateDBF(exportacao, nomeSaida, camposExp, fonte.Idioma);
                        camposExp = exportacao.Campos;
                        exporta = true;
                    } else {
                        msg.Mostra("Nenhum campo selecionado: Registros n\xE3o ser\xE3o salvos");
                    }
                    CloseDBF(fonte);
                }
            }
        }
    }

    // 3-6. Mode, row, increments, column.
    const int modo = std::clamp(op.ModoNaoClassificados, 0, 2);
    LinhasExtras = modo == 2 ? LinhasDiscriminadas : 0;
    TDimensao& dLinha = def.Dimensoes[0];
    TDimensao& dColuna = def.Dimensoes[1];
    LiberaDimensao(dLinha);
    LiberaDimensao(dColuna);
    auto fechaExportacao = [&] {
        if (exportacao.Estado != 0) CloseDBF(exportacao);
    };
    if (!LeDimensao(def.ListLinha[static_cast<std::size_t>(op.Linha)], MaximoLinhas, dLinha)) {
        fechaExportacao();
        res.Fim = FimTabulacao::Dimensao;
        return res;
    }
    const std::int32_t N = dLinha.NumCategorias;
    const std::int32_t cap = modo == 2 ? N + 1 + LinhasDiscriminadas : N + 1;
    t.AlocaLinhas(cap, N);
    t.Coluna(0).NomeColuna = dLinha.Titulo.substr(0, MaxTituloColuna);
    t.ColunaOrdem = 0;
    t.OrdemDecrescente = false;
    for (std::int32_t k = 1; k <= N; ++k) t.Rotulo(k) = dLinha.NomesCategoria[static_cast<std::size_t>(k)];
    t.Rotulo(cap) = kNaoClassificados;

    std::vector<std::string> titulosIncr, camposIncr;
    for (int i : incr) {
        const std::string& item = def.ListIncr[static_cast<std::size_t>(i)];
        titulosIncr.push_back(TituloItem(item));
        // Item 0 is the frequency whatever "G" lines appended to its text.
        if (i == 0 || item == ItemFrequencia) {
            camposIncr.emplace_back();
        } else {
            std::string campo = MaiusculasAscii(TiraBrancos(item.size() > 18 ? item.substr(18) : std::string()));
            campo = campo.substr(0, campo.find(','));
            camposIncr.push_back(campo.substr(0, 10));
        }
        if (!temColuna) AcrescentaColuna(t, titulosIncr.back(), 0);
    }
    if (temColuna) {
        if (!LeDimensao(def.ListColunas[static_cast<std::size_t>(op.Coluna)], MaximoColunas, dColuna)) {
            LiberaDimensao(dLinha);
            LiberaTabela(t);
            fechaExportacao();
            res.Fim = FimTabulacao::Dimensao;
            return res;
        }
        dColuna.Ativa = 1;
        for (std::int32_t k = 1; k <= dColuna.NumCategorias; ++k)
            AcrescentaColuna(t, dColuna.NomesCategoria[static_cast<std::size_t>(k)], 0);
    } else if (incr.empty()) {
        AcrescentaColuna(t, "Freq\xFC\xEAncia", 0);
    }
    def.NumSelecoes = numSel;

    // 8. Titles.
    std::string titulo2;
    for (const auto& ti : titulosIncr) titulo2 += (titulo2.empty() ? "" : " ") + ti;
    if (temColuna) titulo2 += " por " + dColuna.Titulo;
    titulo2 += " segundo " + dLinha.Titulo;
    t.Titulo1 = def.Titulo1;
    t.Titulo2 = titulo2.substr(0, 80);
    t.Rodape = def.Rodape;

    // 9. Run log.
    log.Limpa();
    log.Acrescenta("[op\xE7\xF5" "es]");
    log.Acrescenta("DEF=" + op.Legenda);
    log.Acrescenta("Linha=" + dLinha.Titulo);
    if (temColuna) log.Acrescenta("Coluna=" + dColuna.Titulo);
    for (const auto& ti : titulosIncr) log.Acrescenta("Incremento=" + ti);
    if (numSel > 0) {
        log.Acrescenta("[Sele\xE7\xF5" "es_ativas]");
        for (int s = 0; s < numSel; ++s) LogaSelecao(log, def.Selecao(s));
    }
    log.Acrescenta("[Arquivos]");

    // 10-11. The file loop.
    Configuracao cfg;
    cfg.linha = &dLinha;
    cfg.coluna = temColuna ? &dColuna : nullptr;
    for (int s = 0; s < numSel; ++s) cfg.selecoes.push_back(&def.Selecao(s));
    cfg.camposIncr = camposIncr;
    cfg.modo = modo;
    cfg.discrimina = modo == 2 && dLinha.Modo == 1;
    cfg.ncol = t.NumColunas();
    cfg.testaCRC = op.TestaCRC;
    cfg.temPeriodo = def.TemPeriodo;
    cfg.exporta = exporta;
    cfg.camposExportacao = camposExp;
    cfg.tamRegExportacao = exporta ? exportacao.TamRegistro : 0;

    // Each worker holds a copy of the table's cells, with Discriminar also a row per new
    // code it meets; keep them within memory.
    int threads = op.Threads > 0 ? op.Threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const double linhasPorCopia = static_cast<double>(N) + 2 + (cfg.discrimina ? LinhasDiscriminadas : 0);
    const double bytesPorCopia = linhasPorCopia * (cfg.ncol + 2) * 8.0;
    while (threads > 1 && bytesPorCopia * threads * 2 > 4e9) --threads;

    std::vector<std::string> periodos;
    std::unordered_map<std::string, std::int32_t> linhasNovas; // Discriminar: code -> row
    // Discriminar: distinct codes that found no row of their own (one log line says how many).
    std::unordered_set<std::string> codigosSemLinha;
    std::int32_t colunaNaoClass = 0;
    std::vector<std::string> completos; // files read in full, in order
    bool aborta = false;
    const int ncol = cfg.ncol;

    std::function<void(const std::string&)> registraAnterior = RegistraLogTabelas;
    RegistraLogTabelas = [&log](const std::string& s) { log.Acrescenta(s); };
    MensagensPorFio porFio(msg);
    {
        UsaMensagens uso(porFio);
        Execucao execucao(cfg, threads, progresso);
        auto aplica = [&](const Passo& p, ResultadoArquivo* r) -> bool {
            switch (p.tipo) {
            case Passo::Log:
                log.Acrescenta(p.texto);
                return true;
            case Passo::Mensagem:
                msg.Mostra(p.texto);
                aborta = true;
                return false;
            case Passo::Pausa:
                msg.Mostra(p.texto);
                return true;
            case Passo::Arquivo:
                break;
            }
            // A file whose reading broke off (CRC or stream error) leaves nothing in the
            // table or the export: the table holds the files read in full, and says so.
            const bool emParte = r->varreu && r->aborta;
            if (r->aberto && !emParte && cfg.temPeriodo && !r->digitos.empty()) periodos.push_back(r->digitos);
            for (const auto& e : r->eventos) {
                if (e.tipo == Evento::Mostra) {
                    msg.Mostra(e.texto);
                } else if (e.tipo == Evento::Log) {
                    log.Acrescenta(e.texto);
                } else {
                    TDimensao aviso;
                    aviso.Campo = e.campo;
                    aviso.ValoresInvalidos = e.contagem;
                    aviso.PrimeiroInvalido = e.texto;
                    AvisaValoresInvalidos(aviso);
                }
            }
            for (std::size_t k = 0; k < r->decimaisIncr.size(); ++k) {
                if (r->decimaisIncr[k] < 0) continue;
                if (temColuna)
                    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) t.Coluna(c).Decimais = r->decimaisIncr[k];
                else
                    t.Coluna(static_cast<std::int32_t>(k) + 1).Decimais = r->decimaisIncr[k];
            }
            if (r->varreu && !emParte) {
                if (r->viuNaoClassColuna && colunaNaoClass == 0) {
                    std::int32_t dec = t.NumColunas() > 0 ? t.Coluna(t.NumColunas()).Decimais : 0;
                    if (AcrescentaColuna(t, kNaoClassificados, dec)) colunaNaoClass = t.NumColunas();
                }
                if (r->viuNaoClassLinha) t.NumLinhas = cap;
                const std::size_t largura = static_cast<std::size_t>(ncol) + 2;
                auto soma = [&](std::int32_t global, std::size_t local) {
                    const double* src = r->celulas.data() + local * largura;
                    for (int c = 1; c <= ncol; ++c)
                        if (src[c] != 0) t.Dado(c, global) += src[c];
                    if (colunaNaoClass != 0 && src[ncol + 1] != 0) t.Dado(colunaNaoClass, global) += src[ncol + 1];
                };
                for (std::int32_t k = 1; k <= N + 1; ++k) soma(k, static_cast<std::size_t>(k));
                for (std::size_t i = 0; i < r->novos.size(); ++i) {
                    std::int32_t global;
                    auto it = linhasNovas.find(r->novos[i]);
                    if (it != linhasNovas.end()) {
                        global = it->second;
                    } else if (t.NumLinhas < cap - 1) {
                        global = ++t.NumLinhas;
                        t.Rotulo(global) = r->novos[i];
                        linhasNovas.emplace(r->novos[i], global);
                    } else {
                        // No row left: the code is counted in the last row, shown.
                        global = cap;
                        t.NumLinhas = cap;
                        codigosSemLinha.insert(r->novos[i]);
                    }
                    soma(global, static_cast<std::size_t>(N) + 2 + i);
                }
            }
            if (emParte) {
                const std::string aviso = TextoArquivoLidoEmParte(SemPasta(p.texto), completos);
                log.Acrescenta(aviso);
                msg.Mostra(aviso);
            } else {
                res.RegistrosLidos += r->registros;
                for (std::int64_t k = 0; k < r->numExportados; ++k)
                    AppendDBF(exportacao, r->exportados.data() + k * exportacao.TamRegistro);
                res.RegistrosExportados += r->numExportados;
                if (r->varreu) completos.push_back(SemPasta(p.texto));
            }
            if (r->aborta) {
                aborta = true;
                return false;
            }
            return true;
        };
        try {
            Roteiro roteiro(def, op.Arquivos);
            while (true) {
                std::vector<Passo> passos = roteiro.Proximos();
                if (passos.empty()) break;
                if (!execucao.Executa(passos, aplica, std::string())) {
                    if (!aborta) aborta = true; // cancelled
                    break;
                }
            }
        } catch (...) {
            RegistraLogTabelas = registraAnterior;
            fechaExportacao();
            LiberaDimensao(dLinha);
            LiberaDimensao(dColuna);
            throw;
        }
    }
    RegistraLogTabelas = registraAnterior;
    if (!codigosSemLinha.empty())
        log.Acrescenta(std::to_string(codigosSemLinha.size()) + " c\xF3" "digos sem linha pr\xF3pria somados em " +
                       kNaoClassificados);

    // 12-15. Period, elapsed time, cancel, export.
    if (def.TemPeriodo) t.Rodape = (def.Rodape + " " + TextoPeriodo(periodos)).substr(0, 80);
    log.Acrescenta("Registros_Processados= " + std::to_string(res.RegistrosLidos));
    log.Acrescenta("Tempo_Decorrido= " + TextoTempoDecorrido(MsDesde(inicio)));
    if (aborta) {
        res.Cancelada = true;
        msg.Mostra("Tabula\xE7\xE3o cancelada");
        log.Acrescenta("TABULA\xC7\xC3O CANCELADA");
    }
    if (exporta) {
        std::int64_t n = exportacao.NumRegs;
        CloseDBF(exportacao);
        res.ArquivoExportado = exportacao.Nome;
        log.Acrescenta("Criado " + exportacao.Nome + " com " + std::to_string(n) + " registros");
        ui.MostraExportacao(exportacao.Nome);
    }

    // 16. Column totals: rows with a negative value stay out.
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        double total = 0;
        for (std::int32_t k = 1; k <= N; ++k)
            if (dLinha.Valores[static_cast<std::size_t>(k)] >= 0) total += t.Dado(c, k);
        for (std::int32_t k = N + 1; k <= t.NumLinhas; ++k) total += t.Dado(c, k);
        t.Coluna(c).Total = total;
    }
    // 17. Empty columns.
    if (temColuna && op.SupColunas) {
        std::vector<std::int32_t> vazias;
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
            if (t.Coluna(c).Total == 0) vazias.push_back(c);
        EliminaColunas(t, vazias);
        if (t.NumColunas() == 0) log.Acrescenta("NENHUM REGISTRO SELECIONADO");
    }
    // 18. Subtotal rows, from the last up so chains pass their sums on.
    for (std::int32_t k = N; k >= 1; --k) {
        std::int32_t alvo = dLinha.Valores[static_cast<std::size_t>(k)];
        if (alvo <= 0) continue;
        if (alvo > N || alvo == k) {
            log.Acrescenta("Linha " + std::to_string(k) + ": subtotal na linha " + std::to_string(alvo) +
                           " ignorado");
            continue;
        }
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c) t.Dado(c, alvo) += t.Dado(c, k);
    }
    // 19. The "Total" column.
    const std::int32_t nc = t.NumColunas();
    if (temColuna && nc > 1 && AcrescentaColuna(t, "Total", t.Coluna(1).Decimais)) {
        double total = 0;
        for (std::int32_t c = 1; c <= nc; ++c) total += t.Coluna(c).Total;
        for (std::int32_t k = 1; k <= t.CapLinhas(); ++k) {
            double s = 0;
            for (std::int32_t c = 1; c <= nc; ++c) s += t.Dado(c, k);
            t.Dado(nc + 1, k) = s;
        }
        t.Coluna(nc + 1).Total = total;
    }
    // 20. Empty rows.
    if (op.SupLinhas) {
        std::vector<std::int32_t> manter;
        for (std::int32_t k = 1; k <= t.NumLinhas; ++k) {
            bool zero = true;
            for (std::int32_t c = 1; c <= t.NumColunas() && zero; ++c) zero = t.Dado(c, k) == 0;
            if (!zero) manter.push_back(k);
        }
        MantemLinhas(t, manter);
    }
    // 21-23. Widths, code prefix, map.
    std::int32_t larg0 = static_cast<std::int32_t>(t.NomeColuna(0).size()) + 1;
    for (std::int32_t k = 1; k <= t.NumLinhas; ++k)
        larg0 = std::max(larg0, static_cast<std::int32_t>(t.Rotulo(k).size()));
    t.Coluna(0).Largura = larg0;
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        ColunaResultados& col = t.Coluna(c);
        col.Largura = std::max(static_cast<std::int32_t>(col.NomeColuna.size()) + 1, LarguraValor(col.Decimais, col.Total));
    }
    DetectaCodigo(t);
    if (t.TamCodigo != SemCodigo) t.MostraCodigo = true;
    t.NomeMapa = NomeMapaDaTabela(dLinha.ArquivoTabela, DirMapas, t.NomeMapa);

    // 24-25.
    LiberaDimensao(dLinha);
    LiberaDimensao(dColuna);
    if (t.NumLinhas > 0) {
        res.Fim = FimTabulacao::Pronta;
    } else {
        msg.Mostra("Todas as linhas foram suprimidas por conter zeros!");
        res.Fim = FimTabulacao::Suprimida;
    }
    return res;
}

} // namespace dorvan
