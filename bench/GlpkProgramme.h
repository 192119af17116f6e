#pragma once
// Solves a programme built for `Simplex` with GLPK's simplex, the reference solver of the
// benchmark's agreement check. Header-only; the program that includes it links GLPK.
#include <glpk.h>

#include <vector>

#include "../tests/support/OptimisationProgrammes.h"

namespace programmes {

struct GlpkSolution {
    int32_t result = SimplexInfeasible;  // in `Simplex`'s codes
    double optimum = 0;
    std::vector<double> x;  // 1..n
};

// How GLPK is run: its simplex method (GLP_PRIMAL, GLP_DUAL or GLP_DUALP) and its presolver.
struct GlpkSettings {
    int method = GLP_PRIMAL;
    bool presolve = false;
};

// Loads rows 1..m and the objective of `p` (as built, before `Simplex` changes it) into GLPK
// and runs its simplex without messages (by default the primal method without presolver).
inline GlpkSolution solveWithGlpk(const Programme& p, const GlpkSettings& settings = {}) {
    glp_prob* lp = glp_create_prob();
    glp_set_obj_dir(lp, GLP_MAX);
    const int m = p.m();
    const int n = p.n;
    if (m > 0) glp_add_rows(lp, m);
    if (n > 0) glp_add_cols(lp, n);
    for (int i = 1; i <= m; ++i) {
        const double rhs = p.a[i][0];
        const int type = i <= p.m1 ? GLP_UP : i <= p.m1 + p.m2 ? GLP_LO : GLP_FX;
        glp_set_row_bnds(lp, i, type, rhs, rhs);
    }
    std::vector<int> ia(1), ja(1);
    std::vector<double> ar(1);
    for (int j = 1; j <= n; ++j) {
        glp_set_col_bnds(lp, j, GLP_LO, 0.0, 0.0);
        glp_set_obj_coef(lp, j, p.a[0][j]);
        for (int i = 1; i <= m; ++i) {
            if (p.a[i][j] == 0.0) continue;
            ia.push_back(i);
            ja.push_back(j);
            ar.push_back(p.a[i][j]);
        }
    }
    glp_load_matrix(lp, static_cast<int>(ia.size()) - 1, ia.data(), ja.data(), ar.data());
    glp_smcp parm;
    glp_init_smcp(&parm);
    parm.msg_lev = GLP_MSG_OFF;
    parm.meth = settings.method;
    parm.presolve = settings.presolve ? GLP_ON : GLP_OFF;
    GlpkSolution s;
    const int rc = glp_simplex(lp, &parm);
    if (rc == GLP_ENOPFS) {
        s.result = SimplexInfeasible;   // found by the presolver
    } else if (rc == GLP_ENODFS) {
        s.result = SimplexUnbounded;    // or infeasible: the presolver does not tell them apart
    } else if (rc == 0) {
        switch (glp_get_status(lp)) {
        case GLP_OPT: s.result = SimplexSolved; break;
        case GLP_UNBND: s.result = SimplexUnbounded; break;
        case GLP_NOFEAS: s.result = SimplexInfeasible; break;
        default: s.result = -1; break;
        }
    } else {
        s.result = -1;
    }
    s.optimum = glp_get_obj_val(lp);
    s.x.assign(static_cast<size_t>(n) + 1, 0.0);
    for (int j = 1; j <= n; ++j) s.x[j] = glp_get_col_prim(lp, j);
    glp_delete_prob(lp);
    return s;
}

}  // namespace programmes
