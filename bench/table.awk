# The suite's table: every figure of a run beside the peer's from the same
# run (picocom, or a bare Qt window for start-up), their ratio and the goal.
# Reads the RESULT and NOTE lines that bench/run.sh gathers.
#   awk -f bench/table.awk build-bench/bench-results.txt

function field(label, test, traffic, key,    k) {
    k = label SUBSEP test SUBSEP traffic SUBSEP key
    return (k in last) ? last[k] : ""
}

# Median of every value a key took over repeated RESULT lines.
function median(label, test, traffic, key,    k, n, i, j, t, v) {
    # Values are text as read; + 0 makes every comparison numeric.
    k = label SUBSEP test SUBSEP traffic SUBSEP key
    n = count[k]
    if (n == 0) return ""
    for (i = 1; i <= n; i++) v[i] = all[k, i] + 0
    for (i = 2; i <= n; i++)
        for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}

function fmt(x, decimals) {
    if (x == "") return "–"
    return sprintf("%." decimals "f", x)
}

function ratio(a, b) {
    if (a == "" || b == "" || b + 0 == 0) return "–"
    return sprintf("%.2f", a / b)
}

# Whether a figure meets its goal: ">=" or "<=" against a limit.
function met(x, how, limit) {
    if (x == "") return "–"
    if (how == ">=") return (x + 0 >= limit) ? "yes" : "**no**"
    return (x + 0 <= limit) ? "yes" : "**no**"
}

function row(figure, ours, peer, r, goal, ok) {
    printf "| %s | %s | %s | %s | %s | %s |\n", figure, ours, peer, r, goal, ok
}

function mibps(bytes) { return bytes == "" ? "" : bytes / 1048576 }
function scaled(x, by) { return x == "" ? "" : x / by }

# A codec benchmark: median MiB/s with its spread over the repetitions.
function codec(figure, name, goal, how, limit,    m, cv) {
    m = mibps(field("codec", name "_median", "", "bytes_per_second"))
    cv = field("codec", name "_cv", "", "bytes_per_second")
    row(figure, fmt(m, 1) (cv == "" ? "" : sprintf(" (±%.0f%%)", 100 * cv)), "", "", goal,
        goal == "" ? "" : met(m, how, limit))
}

function passes(label, traffic,    p, n) {
    p = field(label, "rate", traffic, "passed")
    n = field(label, "rate", traffic, "trials")
    return p == "" ? "–" : p "/" n
}

$1 == "NOTE" { notes[++noteCount] = substr($0, 6); next }
$1 != "RESULT" { next }
{
    delete f
    for (i = 2; i <= NF; i++) {
        eq = index($i, "=")
        if (eq > 0) f[substr($i, 1, eq - 1)] = substr($i, eq + 1)
    }
    traffic = ("traffic" in f) ? f["traffic"] : ""
    for (key in f) {
        k = f["label"] SUBSEP f["test"] SUBSEP traffic SUBSEP key
        last[k] = f[key]
        all[k, ++count[k]] = f[key]
    }
}

END {
    for (i = 1; i <= noteCount; i++) print "- " notes[i]
    print ""
    row("Figure", "Tamsel", "Peer", "Ratio", "Goal", "Met")
    print "|---|---|---|---|---|---|"

    codec("Orvane 1.1 framing + decoding, MiB/s of received bytes", "BM_Receive11", "≥ 60", ">=", 60)
    codec("Orvane 1.1 in raw mode, MiB/s", "BM_Receive11RawMode", "≥ 60", ">=", 60)
    codec("Orvane 1.0 framing + decoding, MiB/s", "BM_Receive10", "≥ 60", ">=", 60)
    codec("Orvane 1.0, 255-word bulk replies only (worst case), MiB/s", "BM_Receive10FullBulkFlood", "", "", 0)
    for (v = 0; v <= 1; v++) {
        name = "OrvaneEncoder/v1." v "_median"
        s = field("codec", name, "", "statements_per_s")
        row("Orvane 1." v " encoder, statements/s", fmt(scaled(s, 1e6), 2) " M", "", "", "", "")
    }
    codec("Hex receive, MiB/s", "HexReceive", "", "", 0)
    codec("Bin receive, MiB/s", "BinReceive", "", "", 0)
    codec("Bin send, MiB/s of bytes sent", "BinSend", "", "", 0)
    row("Receive pump alone: read latency into the ring, median / p99 ms",
        fmt(field("serial", "BM_ReadLatency/iterations:300/manual_time", "", "median_ms"), 1) " / " \
        fmt(field("serial", "BM_ReadLatency/iterations:300/manual_time", "", "p99_ms"), 1), "", "", "", "")
    through = "BM_ReaderThroughput/%s/iterations:1/manual_time"
    row("Receive pump alone (reader thread, 2048-byte ring, a thread draining it): bytes dropped at 1 MiB/s",
        fmt(field("serial", sprintf(through, "1024"), "", "dropped_bytes"), 0), "", "", "", "")
    row("Receive pump alone: flat out, MiB/s taken (bytes dropped)",
        fmt(field("serial", sprintf(through, "0"), "", "MiB_per_s"), 1) " (" \
        fmt(field("serial", sprintf(through, "0"), "", "dropped_bytes"), 0) ")", "", "", "", "")

    pr = field("picocom", "ceiling", "raw", "ceiling_MiBps")
    tr = field("tamsel-headless", "ceiling", "raw", "ceiling_MiBps")
    row("Drop-free ceiling, headless, Raw, MiB/s", fmt(tr, 2), fmt(pr, 2) " (picocom)", ratio(tr, pr),
        "≥ 4 and ≥ 2× picocom",
        (tr == "" || pr == "") ? "–" : ((tr + 0 >= 4 && tr + 0 >= 2 * pr) ? "yes" : "**no**"))
    po = field("picocom", "ceiling", "ov11", "ceiling_MiBps")
    to = field("tamsel-headless", "ceiling", "ov11", "ceiling_MiBps")
    row("Drop-free ceiling, headless, Orvane 1.1 decoded, MiB/s", fmt(to, 2),
        fmt(po, 2) " (picocom, bytes through)", ratio(to, po), "", "")
    row("Runs at 4 MiB/s without loss, headless, Raw", passes("tamsel-headless", "raw"),
        passes("picocom", "raw"), "", "3/3", "")
    tw = field("tamsel-window", "ceiling", "raw", "ceiling_MiBps")
    row("Drop-free ceiling, window shown, Raw, MiB/s", fmt(tw, 2), fmt(pr, 2) " (picocom)", ratio(tw, pr),
        "≥ 0.5", met(tw, ">=", 0.5))
    row("Runs at 0.5 MiB/s without loss, window shown, Raw", passes("tamsel-window", "raw"), "", "", "3/3", "")

    tm = field("tamsel-headless", "latency", "", "median_ms")
    pm = field("picocom", "latency", "", "median_ms")
    row("Latency, byte written to its text in the report, median ms", fmt(tm, 2), fmt(pm, 2), ratio(tm, pm),
        "≤ 26 (25 ms read interval + 1)", met(tm, "<=", 26))
    tp = field("tamsel-headless", "latency", "", "p99_ms")
    pp = field("picocom", "latency", "", "p99_ms")
    row("Latency, 99th percentile ms", fmt(tp, 2), fmt(pp, 2), ratio(tp, pp), "≤ 30 (25 + 5)", met(tp, "<=", 30))

    # Remote lines through ser2net on loopback, against the local figure and pyserial's client.
    rc = field("tamsel-rfc2217", "ceiling", "raw", "ceiling_MiBps")
    yc = field("pyserial-rfc2217", "ceiling", "raw", "ceiling_MiBps")
    row("Remote line (ser2net, RFC 2217): drop-free ceiling, headless, Raw, MiB/s", fmt(rc, 2),
        fmt(yc, 2) " (pyserial client)", ratio(rc, yc), "≥ pyserial", (rc == "" || yc == "") ? "–" : met(rc, ">=", yc))
    rm = field("tamsel-rfc2217", "latency", "", "median_ms")
    row("Remote line (ser2net, RFC 2217): latency, median ms", fmt(rm, 2), fmt(tm, 2) " (Tamsel, local pty)",
        ratio(rm, tm), "≤ local + 1", (rm == "" || tm == "") ? "–" : met(rm, "<=", tm + 1))
    rp = field("tamsel-rfc2217", "latency", "", "p99_ms")
    row("Remote line (ser2net, RFC 2217): latency, 99th percentile ms", fmt(rp, 2), fmt(tp, 2) " (Tamsel, local pty)",
        ratio(rp, tp), "", "")
    row("Remote line (ser2net, RFC 2217): pyserial client's latency, median / p99 ms",
        fmt(field("pyserial-rfc2217", "latency", "", "median_ms"), 2) " / " \
        fmt(field("pyserial-rfc2217", "latency", "", "p99_ms"), 2), "", "", "", "")
    xc = field("tamsel-tcp", "ceiling", "raw", "ceiling_MiBps")
    row("Remote line (ser2net, raw TCP): drop-free ceiling, headless, Raw, MiB/s", fmt(xc, 2), "", "", "", "")
    xm = field("tamsel-tcp", "latency", "", "median_ms")
    row("Remote line (ser2net, raw TCP): latency, median ms", fmt(xm, 2), fmt(tm, 2) " (Tamsel, local pty)",
        ratio(xm, tm), "≤ local + 1", (xm == "" || tm == "") ? "–" : met(xm, "<=", tm + 1))

    # The cpu test's figures are keyed by traffic; the 1 MiB/s runs come
    # first, the 115200-baud Orvane run last.
    for (t = 1; t <= 2; t++) {
        traffic = t == 1 ? "raw" : "ov11"
        tc = all["tamsel-headless", "cpu", traffic, "cpu_s_per_MiB", 1]
        pc = all["picocom", "cpu", traffic, "cpu_s_per_MiB", 1]
        row("CPU seconds per MiB at 1 MiB/s, headless, " (t == 1 ? "Raw" : "Orvane 1.1"),
            fmt(tc, 3), fmt(pc, 3), ratio(tc, pc), "", "")
    }
    th = field("tamsel-headless", "cpu", "ov11", "core_percent")
    pc = field("picocom", "cpu", "ov11", "core_percent")
    row("CPU at 115200 baud of Orvane 1.1, headless, % of a core", fmt(th, 2), fmt(pc, 2), ratio(th, pc), "", "")
    twc = field("tamsel-window", "cpu", "ov11", "core_percent")
    row("CPU at 115200 baud of Orvane 1.1, window shown, % of a core", fmt(twc, 2), fmt(pc, 2),
        ratio(twc, pc), "< 2", met(twc, "<=", 2))
    row("… the X server (Xvfb) meanwhile, % of a core", fmt(field("tamsel-window", "cpu", "ov11",
        "watched_core_percent"), 2), "", "", "", "")

    ts = field("tamsel-headless", "cpu", "ov11", "startup_ms")
    ps = field("picocom", "cpu", "ov11", "startup_ms")
    row("Start-up, headless: until it reads the line, ms", fmt(ts, 0), fmt(ps, 0), ratio(ts, ps), "", "")
    tw = median("tamsel-window", "window", "", "drawn_median_ms")
    bw = median("bare-qt", "window", "", "drawn_median_ms")
    row("Start-up to a shown (drawn) window, median ms", fmt(tw, 0), fmt(bw, 0) " (bare Qt window)",
        ratio(tw, bw), "≤ 1.5× bare Qt", (tw == "" || bw == "") ? "–" : (tw + 0 <= 1.5 * bw ? "yes" : "**no**"))
    tr = field("tamsel-headless", "cpu", "ov11", "peak_rss_KiB")
    pr = field("picocom", "cpu", "ov11", "peak_rss_KiB")
    row("Peak RSS, headless, MiB", fmt(scaled(tr, 1024), 1), fmt(scaled(pr, 1024), 1), ratio(tr, pr), "", "")
    tr = median("tamsel-window", "window", "", "peak_rss_KiB")
    br = median("bare-qt", "window", "", "peak_rss_KiB")
    row("Peak RSS, window shown, MiB", fmt(scaled(tr, 1024), 1), fmt(scaled(br, 1024), 1) " (bare Qt window)", ratio(tr, br), "", "")
}
