#!/usr/bin/env python3
"""Plants faults by rule in a scratch copy of the tree and tells which ones the tests catch.

Each mutant changes one line of src/ (C++) or db/tools/ (Python) by one of these rules:
  cmp     a comparison moved across its bound: < <=, > >=, == != (both ways)
  arith   an arithmetic operator swapped: + -, * / (both ways, compound assignments too)
  negate  a condition negated: if (x) -> if (!(x)); Python if/elif/while x: -> not (x)
  const   an integer constant moved by one
  delete  a statement deleted (a complete statement that declares nothing)
  sql     a term dropped from an SQL text: a WHERE/AND condition or an ORDER BY term
  bool    true and false swapped
The sample is random but fixed by --seed: a rule is drawn, then one of its places over the files.

The caller's tree is never touched. The tree is copied to WORK/tree (only changed files are
rewritten, so the build in WORK/build stays incremental between runs and between mutants). For
each mutant the scratch file is changed, the program and the tests are built, and ctest runs
with a time limit. A mutant under db/tools first re-runs the data tools (extract, foods,
recipes, in that order from the mutated one), so the seed and the shipped database the seed
checks read are the mutant's.
  caught     a test fails, a test run exceeds the limit, or a data tool stops with an error
  survived   every test passes: either a test is missing or the change makes no difference
             (an equivalent mutant, to be noted as such with the reason)
  discarded  the mutant does not compile (or the Python does not parse): not counted
Score = caught / (caught + survived).

Usage (from the repository root; the first run builds the whole tree once in WORK):
  nice -n 10 python3 scripts/mutate.py --seed 31 --count 50 --jobs 2 --out /tmp/mutants.md
  python3 scripts/mutate.py --seed 7 --count 10 --files 'src/tracking/*' --out /tmp/m.md
  python3 scripts/mutate.py --replay /tmp/mutants.json --out /tmp/after.md   # same sample again
  python3 scripts/mutate.py --replay /tmp/mutants.json --only-survivors --out /tmp/after.md
  python3 scripts/mutate.py --seed 31 --count 50 --list      # show the sample, run nothing
  python3 scripts/mutate.py --replay /tmp/mutants.json --rev 585c986 --out /tmp/before.md
--rev tests a commit instead of the working tree; either is copied once at the start, so the
caller may go on editing, committing or rebasing while a run goes.
--out writes a Markdown report and, beside it, the same results as JSON (the input of --replay).
--only-survivors re-runs only the survivors of the replayed run and keeps the others' results
(tests are only ever added, so a caught mutant stays caught).
The runs so far, their scores and the survivors noted as equivalent: tests/mutation-results.md.
Standard library only.
"""

import argparse
import difflib
import fnmatch
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
RULES = ["cmp", "arith", "negate", "const", "delete", "sql", "bool"]
SKIP_DIRS = {".git", "__pycache__"}
# The data tools in the order they feed each other; a mutant re-runs its tool and those after it.
TOOLS = ["db/tools/extract_sources.py", "db/tools/foods/build_foods.py", "db/tools/recipes/build_recipes.py"]

# ---------------------------------------------------------------------------------------------
# Lexing: which characters of a file are code (only code is mutated, except SQL in strings).

CODE, STRING, COMMENT = "c", "s", "m"


def mask_cpp(text):
    """One kind per character: code, string/char literal, or comment/preprocessor line."""
    kinds = [CODE] * len(text)
    i, n = 0, len(text)
    line_start = True
    while i < n:
        ch = text[i]
        if line_start and ch == "#":
            j = i
            while j < n and not (text[j] == "\n" and text[j - 1] != "\\"):
                j += 1
            kinds[i:j] = [COMMENT] * (j - i)
            i = j
            continue
        if ch == "\n":
            line_start = True
            i += 1
            continue
        if not ch.isspace():
            line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            kinds[i:j] = [COMMENT] * (j - i)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            kinds[i:j] = [COMMENT] * (j - i)
            i = j
        elif ch == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            if not m:
                i += 1
                continue
            end = text.find(")" + m.group(1) + '"', i)
            j = n if end < 0 else end + len(m.group(1)) + 2
            kinds[i:j] = [STRING] * (j - i)
            i = j
        elif ch == '"' or (ch == "'" and not (i > 0 and text[i - 1].isalnum())):
            j = i + 1
            while j < n and text[j] != ch and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            kinds[i:j] = [STRING] * (j - i)
            i = j
        else:
            i += 1
    return kinds


def mask_py(text):
    kinds = [CODE] * len(text)
    i, n = 0, len(text)
    while i < n:
        ch = text[i]
        if ch == "#":
            j = text.find("\n", i)
            j = n if j < 0 else j
            kinds[i:j] = [COMMENT] * (j - i)
            i = j
        elif ch in "'\"":
            quote = text[i:i + 3] if text[i:i + 3] in ("'''", '"""') else ch
            j = i + len(quote)
            while j < n and not text.startswith(quote, j) and (len(quote) == 3 or text[j] != "\n"):
                j += 2 if text[j] == "\\" else 1
            j = min(j + len(quote), n)
            k = i
            while k > 0 and text[k - 1] in "rbfuRBFU":  # the string's prefix
                k -= 1
            kinds[k:j] = [STRING] * (j - k)
            i = j
        else:
            i += 1
    return kinds


# ---------------------------------------------------------------------------------------------
# The rules. Each finds its places in one line and gives the mutated line for each.

def code_view(line, kinds):
    """The line with strings as \x01 and comments as spaces, so that patterns see code only."""
    return "".join(c if k == CODE else ("\x01" if k == STRING else " ") for c, k in zip(line, kinds))


CMP_SWAP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ARITH_SWAP = {"+": "-", "-": "+", "*": "/", "/": "*"}


def rule_cmp(line, view, py):
    for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)", view):
        yield line[:m.start()] + CMP_SWAP[m.group(1)] + line[m.end():]


def rule_arith(line, view, py):
    for m in re.finditer(r"(?<=\s)([-+*/])(=?)(?=\s)", view):
        left = view[:m.start()].rstrip()
        right = view[m.end():].lstrip()
        if not left or not right or left[-1] in "(=,<>!&|?:[{" or left.endswith("return"):
            continue
        # A text joined to a text is not arithmetic.
        if (left[-1] == "\x01" or right[0] == "\x01" or re.match(r"(QString|QLatin1|tr\(|u\")", right)
                or re.search(r"\b(QStringLiteral|QLatin1String|QLatin1StringView|QString|tr|str|QStringView)\([^()]*\)$", left)):
            continue
        yield line[:m.start()] + ARITH_SWAP[m.group(1)] + m.group(2) + line[m.end():]


def matching_paren(view, open_at):
    depth = 0
    for i in range(open_at, len(view)):
        if view[i] == "(":
            depth += 1
        elif view[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def rule_negate(line, view, py):
    if py:
        m = re.match(r"^(\s*(?:if|elif|while)\s+)(.*?)(:\s*)$", view.rstrip("\n"))
        if m and m.group(2).strip() and "lambda" not in m.group(2):
            yield line[:m.end(1)] + "not (" + line[m.end(1):m.end(2)] + ")" + line[m.end(2):]
        return
    for m in re.finditer(r"\b(if|while)\s*\(", view):
        close = matching_paren(view, m.end() - 1)
        if close < 0 or ";" in view[m.end():close]:
            continue
        yield line[:m.end()] + "!(" + line[m.end():close] + ")" + line[close:]


def rule_const(line, view, py):
    for m in re.finditer(r"(?<![\w.'\x01])(\d+)(?![\w.'\x01])", view):
        value = int(m.group(1))
        for moved in ([1] if value == 0 else [value - 1, value + 1]):
            yield line[:m.start()] + str(moved) + line[m.end():]


CPP_NOT_TYPES = r"(?:return|delete|throw|co_return|goto|else|case|new)\b"
CPP_DECLARATION = re.compile(
    r"^(?:(?:const|static|constexpr|inline|unsigned|signed|mutable|volatile|extern|thread_local|struct|enum)\s+)*"
    r"(?!" + CPP_NOT_TYPES + r")[A-Za-z_][\w:]*(?:<.*>)?(?:\s*[*&]+\s*|\s+)(?:const\s+)?[*&]*\s*[A-Za-z_~][\w:]*\s*(?:=|\(|\{|;|\[|,|:)")
CPP_NOT_STATEMENTS = re.compile(
    r"^(?:\}|#|if\b|for\b|while\b|else\b|do\b|switch\b|case\b|default\b|public\b|private\b|protected\b|using\b|"
    r"typedef\b|friend\b|namespace\b|template\b|class\b|struct\b|enum\b|Q_|auto\s*\[|return\s*[^;\s]|static_assert\b)")


def rule_delete_cpp(line, view, previous_view):
    stripped = view.strip()
    if not stripped.endswith(";") or stripped == ";" or not previous_view.rstrip().endswith((";", "{", "}", ":")):
        return
    if CPP_NOT_STATEMENTS.match(stripped) or CPP_DECLARATION.match(stripped):
        return
    if stripped.count("(") != stripped.count(")") or stripped.count("{") != stripped.count("}"):
        return
    yield re.match(r"\s*", line).group(0) + "\n"


PY_NOT_STATEMENTS = re.compile(
    r"^(?:def|class|if|elif|else|for|while|try|except|finally|with|import|from|return\s+\S|pass|global|nonlocal|@|"
    r"assert|lambda|async|await|\)|\]|\})")


def rule_delete_py(line, view, starts_statement):
    stripped = view.strip()
    if not re.match(r"[A-Za-z_]", stripped) or not starts_statement or stripped.endswith((":", "\\", ",", "(", "[", "{")):
        return
    if PY_NOT_STATEMENTS.match(stripped) or re.match(r"^[A-Za-z_]\w*\s*(?:,\s*[A-Za-z_]\w*\s*)*=[^=]", stripped):
        return  # a plain assignment names a value: deleting it only breaks the next read
    depth = sum(stripped.count(c) for c in "([{") - sum(stripped.count(c) for c in ")]}")
    if depth != 0:
        return
    yield re.match(r"\s*", line).group(0) + "pass\n"


SQL_STOP = re.compile(r"\s+(?:AND|OR|ORDER\s+BY|GROUP\s+BY|LIMIT|HAVING|UNION)\b")


def condition_end(body, start):
    """End of the SQL condition or term starting at `start` (depth 0, before a stop word, ')' or ';')."""
    depth = 0
    for i in range(start, len(body)):
        if body[i] == "(":
            depth += 1
        elif body[i] == ")":
            if depth == 0:
                return i
            depth -= 1
        elif depth == 0 and (body[i] == ";" or (body[i].isspace() and SQL_STOP.match(body, i))):
            if not re.search(r"\bBETWEEN\s+\S+$", body[start:i]):  # BETWEEN's own AND goes on
                return i
    return len(body)


def join_sql(before, after):
    return before.rstrip() + " " + after.lstrip() if before.strip() and after.strip() else before + after


def rule_sql(line, kinds, next_code_char):
    """Drops a condition or an ORDER BY term inside one string literal of the line."""
    i = 0
    while i < len(line):
        if kinds[i] != STRING:
            i += 1
            continue
        j = i
        while j < len(line) and kinds[j] == STRING:
            j += 1
        literal = line[i:j]
        q = min([x for x in (literal.find('"'), literal.find("'")) if x >= 0], default=-1)
        if q >= 0 and len(literal) > q + 1 and literal.endswith(literal[q]):
            lo, hi = i + q + 1, j - 1
            body = line[lo:hi]
            # A clause cut at the end of a literal that the next literal continues is left alone.
            continues = line[j:].strip()[:1] == '"' or (not line[j:].strip() and next_code_char == "\x01")
            for m in re.finditer(r"\s+AND\s+", body):
                if re.search(r"\bBETWEEN\s+\S+$", body[:m.start()]):
                    continue  # BETWEEN's own AND
                end = condition_end(body, m.end())
                if end > m.end():  # a condition the next literal holds stays whole
                    yield line[:lo] + body[:m.start()] + body[end:] + line[hi:]
            for m in re.finditer(r"\bWHERE\s+", body):
                end = condition_end(body, m.end())
                if end == m.end():
                    continue  # the condition is built elsewhere
                conj = re.match(r"\s+(?:AND|OR)\s+", body[end:])
                if conj:
                    yield line[:lo] + body[:m.end()] + body[end + conj.end():] + line[hi:]
                elif end < len(body) or not continues:
                    yield line[:lo] + join_sql(body[:m.start()], body[end:]) + line[hi:]
            for m in re.finditer(r"\bORDER\s+BY\s+", body):
                end = condition_end(body, m.end())
                if end == m.end():
                    continue
                terms = body[m.end():end].split(",")
                if len(terms) > 1:
                    for k in range(len(terms)):
                        kept = ", ".join(t.strip() for x, t in enumerate(terms) if x != k)
                        yield line[:lo] + body[:m.end()] + kept + body[end:] + line[hi:]
                elif end < len(body) or not continues:
                    yield line[:lo] + join_sql(body[:m.start()], body[end:]) + line[hi:]
        i = j


def rule_bool(line, view, py):
    words = {"True": "False", "False": "True"} if py else {"true": "false", "false": "true"}
    for m in re.finditer(r"\b(" + "|".join(words) + r")\b", view):
        yield line[:m.start()] + words[m.group(1)] + line[m.end():]


def mutants_of_file(path, text):
    """Every mutant of one file: dicts with file, line (1-based), rule, old and new line."""
    py = path.endswith(".py")
    kinds = mask_py(text) if py else mask_cpp(text)
    lines = text.splitlines(keepends=True)
    out = []
    offset = 0
    previous_view = ";"
    depth = 0  # Python bracket depth at the start of the line
    views = []
    for line in lines:
        views.append(code_view(line, kinds[offset:offset + len(line)]))
        offset += len(line)
    offset = 0
    for number, line in enumerate(lines, 1):
        lk = kinds[offset:offset + len(line)]
        offset += len(line)
        view = views[number - 1]
        if "mutate: skip" in line or not line.strip():
            continue
        found = []
        for rule, gen in (("cmp", rule_cmp), ("arith", rule_arith), ("negate", rule_negate),
                          ("const", rule_const), ("bool", rule_bool)):
            found += [(rule, new) for new in gen(line, view, py)]
        if py:
            starts = depth == 0 and not (views[number - 2].rstrip().endswith("\\") if number > 1 else False)
            found += [("delete", new) for new in rule_delete_py(line, view, starts)]
            depth = max(0, depth + sum(view.count(c) for c in "([{") - sum(view.count(c) for c in ")]}"))
        else:
            found += [("delete", new) for new in rule_delete_cpp(line, view, previous_view)]
            if view.strip():
                previous_view = view
        rest = "".join(views[number:number + 3]).strip()
        found += [("sql", new) for new in rule_sql(line, lk, rest[:1])]
        for rule, new in found:
            if new != line:
                out.append({"file": path, "line": number, "rule": rule, "old": line, "new": new})
    return out


def source_files(root, patterns):
    files = []
    for top, exts in (("src", (".cpp", ".h")), ("db/tools", (".py",))):
        for base, dirs, names in os.walk(os.path.join(root, top)):
            dirs[:] = sorted(d for d in dirs if d not in SKIP_DIRS)
            for name in sorted(names):
                rel = os.path.relpath(os.path.join(base, name), root)
                if rel.endswith(exts) and (not patterns or any(fnmatch.fnmatch(rel, p) for p in patterns)):
                    files.append(rel)
    return files


def sample(root, seed, count, patterns):
    by_rule = {rule: [] for rule in RULES}
    for rel in source_files(root, patterns):
        with open(os.path.join(root, rel), encoding="utf-8") as f:
            for mutant in mutants_of_file(rel, f.read()):
                by_rule[mutant["rule"]].append(mutant)
    rng = random.Random(seed)
    chosen, seen = [], set()
    rules = [r for r in RULES if by_rule[r]]
    attempts = 0
    while len(chosen) < count and rules and attempts < 100 * count:
        attempts += 1
        rule = rng.choice(rules)
        mutant = rng.choice(by_rule[rule])
        key = (mutant["file"], mutant["line"], mutant["new"])
        if key not in seen:
            seen.add(key)
            chosen.append(dict(mutant, id=len(chosen) + 1))
    return chosen, {r: len(v) for r, v in by_rule.items()}


# ---------------------------------------------------------------------------------------------
# Scratch tree, build and test.

def sync_tree(source, target, sub=""):
    """Makes target/sub a copy of source/sub, rewriting only the files whose content differs."""
    wanted = set()
    for base, dirs, names in os.walk(os.path.join(source, sub)):
        rel_base = os.path.relpath(base, source)
        dirs[:] = [d for d in dirs if d not in SKIP_DIRS and not (rel_base == "." and d.startswith("build"))]
        for name in names:
            rel = os.path.normpath(os.path.join(rel_base, name))
            wanted.add(rel)
            src, dst = os.path.join(source, rel), os.path.join(target, rel)
            with open(src, "rb") as f:
                data = f.read()
            if os.path.exists(dst):
                with open(dst, "rb") as f:
                    if f.read() == data:
                        continue
            os.makedirs(os.path.dirname(dst), exist_ok=True)
            with open(dst, "wb") as f:
                f.write(data)
            shutil.copymode(src, dst)
    for base, dirs, names in os.walk(os.path.join(target, sub)):
        dirs[:] = [d for d in dirs if d not in SKIP_DIRS]
        for name in names:
            rel = os.path.normpath(os.path.relpath(os.path.join(base, name), target))
            if rel not in wanted:
                os.remove(os.path.join(target, rel))


def run(cmd, cwd, timeout, env=None):
    """Runs a command in its own process group; gives (returncode or None on timeout, output)."""
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            errors="replace", start_new_session=True, env=env)
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        out, _ = proc.communicate()
        return None, out


class Workspace:
    def __init__(self, work, jobs):
        self.work = os.path.abspath(work)
        self.tree = os.path.join(self.work, "tree")
        self.snapshot = os.path.join(self.work, "snapshot")
        self.build = os.path.join(self.work, "build")
        self.sources_copy = os.path.join(self.work, "full-sources")
        self.jobs = jobs
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

    def prepare(self, rev=None):
        """Takes the tree to test (the working tree as it is now, or a commit) into `snapshot`,
        which stays as taken while the caller's tree moves on; the scratch tree follows it."""
        if rev:
            shutil.rmtree(self.snapshot, ignore_errors=True)
            os.makedirs(self.snapshot)
            archive = subprocess.run(["git", "-C", ROOT, "archive", rev], stdout=subprocess.PIPE, check=True).stdout
            subprocess.run(["tar", "-x", "-C", self.snapshot], input=archive, check=True)
        else:
            sync_tree(ROOT, self.snapshot)
        os.makedirs(self.tree, exist_ok=True)
        sync_tree(self.snapshot, self.tree)
        sync_tree(os.path.join(self.snapshot, "db"), self.sources_copy, "sources")

    def configure(self):
        if not os.path.exists(os.path.join(self.build, "CMakeCache.txt")):
            cmd = ["cmake", "-S", self.tree, "-B", self.build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                   "-DVIVANDA_BUILD_BENCH=OFF"]
            if shutil.which("ccache"):
                cmd.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
            if shutil.which("ld.lld"):
                cmd.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
            code, out = run(cmd, self.work, 600)
            if code != 0:
                sys.exit("configure failed:\n" + out[-3000:])

    def build_all(self, timeout):
        return run(["cmake", "--build", self.build, "-j", str(self.jobs)], self.work, timeout)

    def test(self, timeout):
        """(verdict, detail): 'passed', 'failed' with the failing tests, or 'timeout'."""
        code, out = run(["ctest", "--test-dir", self.build, "-j", str(self.jobs), "--stop-on-failure",
                         "--timeout", str(int(timeout))], self.work, timeout, self.env)
        if code is None:
            return "timeout", ""
        failed = re.findall(r"\d+ - (\S+) \((?:Failed|SEGFAULT|Timeout|Child aborted|Subprocess aborted|"
                            r"Exception|Not Run|OTHER_FAULT|ILLEGAL|BUS_ERROR|NUMERICAL)", out)
        failed += re.findall(r"Test\s+#\d+: (\S+) \.+\*+(?:Failed|Exception|Timeout)", out)
        if code == 0:
            return "passed", ""
        return "failed", ", ".join(sorted(set(failed))[:5]) or out.strip().splitlines()[-1][:200]

    def run_tools(self, mutated_file, timeout):
        """Re-runs the data tools from the mutated one on; (None, '') when they all finish."""
        first = TOOLS.index(mutated_file) if mutated_file in TOOLS else len(TOOLS)
        for tool in TOOLS[first:]:
            cmd = [sys.executable, tool] + (["--from", self.sources_copy + "/sources"] if tool == TOOLS[0] else [])
            code, out = run(cmd, self.tree, timeout)
            if code != 0:
                tail = out.strip().splitlines()[-1:] if out.strip() else [""]
                return ("timeout" if code is None else "tool"), tool + ": " + tail[0][:200]
        return None, ""


def diff_of(mutant):
    return "".join(difflib.unified_diff([mutant["old"]], [mutant["new"]], "a/" + mutant["file"], "b/" + mutant["file"],
                                        n=0)).replace("@@ -1 +1 @@", "@@ line %d @@" % mutant["line"])


def locate(tree, mutant):
    """The mutant's line in the current tree (it may have moved): its number, or 0 when gone."""
    path = os.path.join(tree, mutant["file"])
    if not os.path.exists(path):
        return 0
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines(keepends=True)
    candidates = [i + 1 for i, line in enumerate(lines) if line == mutant["old"]]
    return min(candidates, key=lambda n: abs(n - mutant["line"])) if candidates else 0


def try_mutant(ws, mutant, test_timeout, build_timeout):
    path = os.path.join(ws.tree, mutant["file"])
    with open(path, encoding="utf-8") as f:
        original = f.read()
    lines = original.splitlines(keepends=True)
    number = locate(ws.tree, mutant)
    if not number:
        return "gone", "the line is no longer in the tree"
    lines[number - 1] = mutant["new"]
    mutant["line"] = number
    try:
        with open(path, "w", encoding="utf-8") as f:
            f.write("".join(lines))
        if mutant["file"].endswith(".py"):
            code, out = run([sys.executable, "-m", "py_compile", path], ws.tree, 60)
            if code != 0:
                return "discarded", "does not parse"
            verdict, detail = ws.run_tools(mutant["file"], 300)
            if verdict:
                return "caught", ("timeout in " if verdict == "timeout" else "stopped: ") + detail
        code, out = ws.build_all(build_timeout)
        if code != 0:
            errors = [l for l in out.splitlines() if "error" in l.lower()]
            return "discarded", (errors[0] if errors else "build failed")[:200]
        verdict, detail = ws.test(test_timeout)
        if verdict == "passed":
            return "survived", ""
        return "caught", ("timeout" if verdict == "timeout" else "failed: " + detail)
    finally:
        with open(path, "w", encoding="utf-8") as f:
            f.write(original)
        if mutant["file"].startswith("db/"):
            sync_tree(ws.snapshot, ws.tree, "db")


def write_report(out_path, results, meta):
    counted = [r for r in results if r["verdict"] in ("caught", "survived")]
    caught = sum(r["verdict"] == "caught" for r in results)
    survived = [r for r in results if r["verdict"] == "survived"]
    score = 100.0 * caught / len(counted) if counted else 0.0
    meta = dict(meta, caught=caught, survived=len(survived), score=round(score, 1),
                discarded=sum(r["verdict"] == "discarded" for r in results),
                gone=sum(r["verdict"] == "gone" for r in results))
    with open(os.path.splitext(out_path)[0] + ".json", "w", encoding="utf-8") as f:
        json.dump({"meta": meta, "mutants": results}, f, ensure_ascii=False, indent=1)
    lines = ["# Mutation run", "",
             "seed %s, %d mutants planted (%s) in %s, started %s" % (meta["seed"], len(results), meta["files"], meta["tree"],
                                                                   meta["started"]),
             "", "caught %d, survived %d, discarded %d (do not compile)%s: **score %.1f %%**" % (
                 caught, len(survived), meta["discarded"], ", gone %d" % meta["gone"] if meta["gone"] else "", score),
             "", "| # | rule | place | verdict | detail |", "|---|---|---|---|---|"]
    for r in results:
        lines.append("| %d | %s | %s:%d | %s | %s |" % (r["id"], r["rule"], r["file"], r["line"], r["verdict"],
                                                       r.get("detail", "").replace("|", "\\|")))
    lines += ["", "## Survivors", ""]
    for r in survived:
        lines += ["### %d. %s:%d (%s)" % (r["id"], r["file"], r["line"], r["rule"]), "", "```diff", diff_of(r).rstrip(),
                  "```", ""]
    with open(out_path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    return score


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seed", type=int, default=31)
    parser.add_argument("--count", type=int, default=50)
    parser.add_argument("--files", action="append", default=[], help="glob of files to mutate (repeatable)")
    parser.add_argument("--out", default="mutants.md")
    parser.add_argument("--work", default="/tmp/vivanda-mutate", help="scratch tree and build directory")
    parser.add_argument("--jobs", type=int, default=int(os.environ.get("JOBS", "2")))
    parser.add_argument("--test-timeout", type=float, default=0, help="seconds per mutant's ctest (default 3x the clean run, at least 120)")
    parser.add_argument("--build-timeout", type=float, default=1800)
    parser.add_argument("--replay", help="JSON of an earlier run: plant the same mutants")
    parser.add_argument("--only-survivors", action="store_true", help="with --replay: re-run its survivors only")
    parser.add_argument("--rev", help="test this commit instead of the working tree as it is now")
    parser.add_argument("--list", action="store_true", help="print the sample and stop")
    args = parser.parse_args()

    previous = {}
    if args.replay:
        with open(args.replay, encoding="utf-8") as f:
            data = json.load(f)
        mutants = [{k: m[k] for k in ("id", "file", "line", "rule", "old", "new")} for m in data["mutants"]]
        previous = {m["id"]: m for m in data["mutants"]}
        args.seed, args.files = data["meta"]["seed"], data["meta"].get("patterns", [])
        print("replaying %d mutants of %s" % (len(mutants), args.replay), file=sys.stderr)
    ws = Workspace(args.work, args.jobs)
    ws.prepare(args.rev)
    if not args.replay:
        mutants, places = sample(ws.snapshot, args.seed, args.count, args.files)
        print("places per rule: " + ", ".join("%s %d" % kv for kv in places.items()), file=sys.stderr)
    if args.list:
        for m in mutants:
            print("%3d %-6s %s:%d" % (m["id"], m["rule"], m["file"], m["line"]))
            print("    - " + m["old"].strip() + "\n    + " + m["new"].strip())
        return

    ws.configure()
    rev = args.rev and subprocess.run(["git", "-C", ROOT, "rev-parse", "--short", args.rev], stdout=subprocess.PIPE,
                                      text=True).stdout.strip()
    meta = {"seed": args.seed, "tree": rev or "working tree", "files": ", ".join(args.files) or "src/, db/tools/",
            "patterns": args.files, "started": time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime())}
    print("building the clean tree in %s" % ws.work, file=sys.stderr)
    code, out = ws.build_all(args.build_timeout * 3)
    if code != 0:
        sys.exit("the clean tree does not build:\n" + out[-3000:])
    begin = time.time()
    verdict, detail = ws.test(3600)
    clean = time.time() - begin
    if verdict != "passed":
        sys.exit("the clean tree's tests do not pass (%s): fix them first" % detail)
    test_timeout = args.test_timeout or max(120.0, 3 * clean)
    meta["clean_test_seconds"] = round(clean)
    print("clean tests: %.0f s; limit per mutant %.0f s" % (clean, test_timeout), file=sys.stderr)

    results = []
    for m in mutants:
        old = previous.get(m["id"])
        if args.only_survivors and old and old["verdict"] != "survived":
            results.append(old)
            continue
        start = time.time()
        verdict, detail = try_mutant(ws, m, test_timeout, args.build_timeout)
        results.append(dict(m, verdict=verdict, detail=detail, seconds=round(time.time() - start)))
        print("%3d/%d %-9s %-6s %s:%d %s" % (m["id"], len(mutants), verdict, m["rule"], m["file"], m["line"], detail),
              file=sys.stderr, flush=True)
        write_report(args.out, results, meta)
    score = write_report(args.out, results, meta)
    print("score %.1f %% -> %s" % (score, args.out), file=sys.stderr)


if __name__ == "__main__":
    main()
