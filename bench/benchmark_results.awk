# Turns Google Benchmark JSON (--benchmark_format=json) into the rig's
# RESULT lines: one per benchmark entry, its numeric fields as key=value
# ("/" in a counter's name becomes "_per_"), labelled with -v label=NAME.
#   bench_x --benchmark_format=json | awk -v label=codec -f benchmark_results.awk

/"benchmarks": \[/ { inside = 1; next }
!inside { next }
/^ *\{/ { line = ""; name = ""; next }
/"name":/ {
    name = $0
    sub(/^[^:]*: *"/, "", name)
    sub(/",? *$/, "", name)
    next
}
/^ *"[^"]+": *-?[0-9.]+(e[-+]?[0-9]+)?,? *$/ {
    key = $0
    sub(/^ *"/, "", key)
    sub(/".*$/, "", key)
    gsub(/\//, "_per_", key)
    value = $0
    sub(/^[^:]*: */, "", value)
    sub(/,? *$/, "", value)
    line = line " " key "=" value
    next
}
/^ *\}/ {
    if (name != "")
        print "RESULT label=" label " test=" name line
    name = ""
}
