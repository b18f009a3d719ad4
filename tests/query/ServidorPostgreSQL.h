#pragma once
// The PostgreSQL server of a test run, from the libpq environment (PGHOST, PGPORT,
// PGDATABASE, PGUSER). Without one the test skips, unless DORVAN_EXIGE_POSTGRESQL
// says the run must have one.
#include "platform/db/BancoDados.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace dorvan::teste {

// Defines alias on motor over a schema of its own (search_path); false when there
// is no server (the test has then skipped or failed).
inline bool AliasPostgreSQL(MotorBD& motor, const std::string& alias, const std::string& esquema) {
    const char* host = std::getenv("PGHOST");
    if (!host || !*host) {
        if (std::getenv("DORVAN_EXIGE_POSTGRESQL")) ADD_FAILURE() << "PostgreSQL server required but PGHOST is not set";
        return false;
    }
    auto env = [](const char* n) { return std::string(std::getenv(n) ? std::getenv(n) : ""); };
    motor.DefineAlias({alias, "POSTGRESQL", env("PGDATABASE").empty() ? "postgres" : env("PGDATABASE"), host,
                       env("PGPORT").empty() ? 0 : std::atoi(env("PGPORT").c_str()), env("PGUSER"),
                       "options=-csearch_path=" + esquema});
    return true;
}

} // namespace dorvan::teste
