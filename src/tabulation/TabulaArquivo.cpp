// Reads one data file record by record, keeps the records that pass the selections,
// classifies each by row and column and adds it into the file's own cells.
#include "tabulation/TabulaArquivo.h"

#include "data/Ucomprim.h"
#include "platform/Numeros.h"
#include "tabulation/Classificador.h"
#include "tabulation/RoteiroArquivos.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <thread>

namespace dorvan::tabulacao {

namespace {

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

} // namespace

Trabalhador::Trabalhador(const Configuracao& cfg) : cfg_(cfg) {
    linha_ = *cfg.linha;
    if (cfg.coluna) coluna_ = *cfg.coluna;
    for (auto* s : cfg.selecoes)
        selecoes_.push_back(*s);
    modelo_.NumCampos = static_cast<int>(cfg.camposExportacao.size());
    modelo_.Campos = cfg.camposExportacao;
    modelo_.TamRegistro = cfg.tamRegExportacao;
}

void Trabalhador::Tabula(const std::string& caminho, ResultadoArquivo& r, const std::function<bool()>& parar,
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

// Expands the file on a thread of its own and classifies here: a DBC then takes
// about the time of its bare expansion. Records go across in batches, in order:
// large ones (4 MB), so that on a busy machine the two threads seldom wait for
// each other and for the scheduler.
template <typename Processa> bool Trabalhador::VarreEmParalelo(dbfRecord& h, Processa& processa, ResultadoArquivo& r) {
    const std::size_t L = h.TamRegistro;
    const std::size_t porLote = std::max<std::size_t>(1, (std::size_t{1} << 22) / std::max<std::size_t>(L, 1));
    struct Lote {
        std::vector<char> bytes;
        std::size_t n = 0;
    };
    std::mutex m;
    std::condition_variable cv;
    std::deque<Lote> cheios;
    std::vector<Lote> livres(4);
    for (auto& l : livres)
        l.bytes.resize(porLote * L);
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
            for (std::size_t i = 0; i < lote.n; ++i)
                processa(lote.bytes.data() + i * L);
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

void Trabalhador::TabulaArquivo(const std::string& caminho, ResultadoArquivo& r, const std::function<bool()>& parar,
                                std::atomic<std::int64_t>& contador) {
    dbfRecord h;
    OpenDBF(h, caminho, true); // data files are only read
    if (h.Estado == 0) {
        r.aborta = true;
        return;
    }
    r.aberto = true;

    std::vector<int> fonteExportacao;
    if (cfg_.exporta)
        for (const auto& c : cfg_.camposExportacao)
            fonteExportacao.push_back(FieldDBF(h, c.Nome));

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
    r.celulas.Prepara(static_cast<std::uint64_t>(N) + 2, largura);
    std::map<std::string, std::int32_t, std::less<>> novos;
    std::vector<double> valores(nIncr, 1.0);
    std::vector<char> registroExp(cfg_.tamRegExportacao, ' ');
    std::int64_t lidos = 0;
    const TDimensao* col = cfg_.coluna ? &coluna_ : nullptr;
    Classificador cLinha, cColuna;
    std::vector<Classificador> cSel(selecoes_.size());
    cLinha.Prepara(linha_);
    if (col) cColuna.Prepara(coluna_);
    for (std::size_t i = 0; i < selecoes_.size(); ++i)
        cSel[i].Prepara(selecoes_[i]);

    r.varreu = true;
    std::vector<Vista> vExportacao(fonteExportacao.size());
    for (std::size_t j = 0; j < fonteExportacao.size(); ++j)
        if (fonteExportacao[j] != 0) vExportacao[j] = VistaCampo(h.Campo(fonteExportacao[j]));
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
        const auto linha = static_cast<std::uint32_t>(lin);
        if (nIncr == 0) {
            r.celulas.Soma(linha, static_cast<std::uint32_t>(c), 1);
        } else if (col || nIncr == 1) {
            r.celulas.Soma(linha, static_cast<std::uint32_t>(c),
                           temCampo[0] ? LePrefixoNumerico(vIncr[0].De(rec)) : 1.0);
        } else {
            for (std::size_t k = 0; k < nIncr; ++k)
                r.celulas.Soma(linha, static_cast<std::uint32_t>(k + 1),
                               temCampo[k] ? LePrefixoNumerico(vIncr[k].De(rec)) : 1.0);
        }
    };

    bool ok;
    const char ultimo = h.Nome.empty() ? ' ' : h.Nome.back();
    if (paralelo_ && (ultimo == 'C' || ultimo == 'c'))
        ok = VarreEmParalelo(h, processa, r);
    else
        ok = ScanDBF(
            h, [&](dbfRecord& a) { processa(a.RegistroAtual); }, cfg_.testaCRC);
    r.celulas.Conclui();
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
    for (auto& s : selecoes_)
        avisa(s);
}

} // namespace dorvan::tabulacao
