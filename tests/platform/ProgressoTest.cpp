#include "platform/Progresso.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

// Progress whose clock the test moves by hand, counting the refreshes.
class ProgressoContado : public Progresso {
public:
    std::chrono::steady_clock::time_point agora{};
    int refrescos = 0;
    std::uint64_t ultimoFeito = 0;

protected:
    void Mostra(std::uint64_t feito, std::uint64_t, const std::string&) override {
        ++refrescos;
        ultimoFeito = feito;
    }
    std::chrono::steady_clock::time_point Relogio() const override { return agora; }
};

TEST(Progresso, RefreshesAtMostOncePerIntervalHoweverManyRecords) {
    using std::chrono::microseconds;
    struct Caso {
        int registros;
        microseconds porRegistro; // fake time each record takes
        int refrescos;
    } casos[] = {
        {1, microseconds(0), 1},              // the first call always shows
        {1'000'000, microseconds(0), 1},      // a fast run shows once
        {10'000, microseconds(1000), 1 + 39}, // the clock is read every 256 records (256 ms > 50 ms)
        {10'000, microseconds(100), 1 + 19},  // 256 records take 25.6 ms: every 512 records
    };
    for (const auto& c : casos) {
        ProgressoContado p;
        for (int i = 1; i <= c.registros; ++i) {
            p.agora += c.porRegistro;
            p.Avanca(static_cast<std::uint64_t>(i), static_cast<std::uint64_t>(c.registros));
        }
        EXPECT_EQ(p.refrescos, c.refrescos) << c.registros;
    }
}

TEST(Progresso, RefreshesWhenTheIntervalHasPassed) {
    ProgressoContado p;
    p.Avanca(1, 0);
    EXPECT_EQ(p.refrescos, 1);
    for (int i = 0; i < 255; ++i) p.Avanca(2, 0);
    EXPECT_EQ(p.refrescos, 1); // 256th call, but no time has passed
    p.agora += std::chrono::milliseconds(49);
    for (int i = 0; i < 256; ++i) p.Avanca(3, 0);
    EXPECT_EQ(p.refrescos, 1);
    p.agora += std::chrono::milliseconds(1);
    for (int i = 0; i < 256; ++i) p.Avanca(4, 0);
    EXPECT_EQ(p.refrescos, 2);
    EXPECT_EQ(p.ultimoFeito, 4u);

    p.Agora(5, 0); // forced, whatever the clock
    EXPECT_EQ(p.refrescos, 3);
    EXPECT_EQ(p.ultimoFeito, 5u);
}

TEST(Progresso, CancelStaysUntilRestarted) {
    ProgressoContado p;
    EXPECT_FALSE(p.Cancelado());
    p.Cancela();
    EXPECT_TRUE(p.Cancelado());
    p.Reinicia();
    EXPECT_FALSE(p.Cancelado());
    p.Avanca(1, 1);
    EXPECT_EQ(p.refrescos, 1); // after a restart the first call shows again
    EXPECT_FALSE(SemProgresso().Cancelado());
}

} // namespace
} // namespace dorvan
