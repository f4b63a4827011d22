#pragma once
// Shared by the benchmarks: run something in a child process and measure
// its wall time and peak memory, repeat, and print medians against 7zz.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace coffer::bench {

// `s` in single quotes for the shell.
inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs a shell command that must succeed; a failure ends the benchmark.
inline void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "bench: failed: %s\n", command.c_str());
    std::exit(1);
  }
}

struct Sample {
  double seconds = 0;
  long peak_kib = 0;  // maximum resident set size of the child
};

// Runs `body` in a forked child (its exit status is the child's) and
// measures it; a failing child aborts the benchmark.
inline Sample Measure(const std::function<int()>& body) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bench: a measured run failed (status %d)\n", status);
    std::exit(1);
  }
  return {std::chrono::duration<double>(end - start).count(), usage.ru_maxrss};
}

inline Sample MeasureCommand(const std::string& command) {
  return Measure([&] { return std::system(command.c_str()) == 0 ? 0 : 1; });
}

// Lets the system finish what the last run and its clean-up left it
// (writeback, the journal, trimming freed blocks, taking freed memory back)
// before the next run starts. Without it a run pays for the one before,
// whichever side that was, and the ratio measures the order of the runs.
inline void Settle() {
  sync();
  std::this_thread::sleep_for(std::chrono::seconds(2));
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline double MedianSeconds(const std::vector<Sample>& samples) {
  std::vector<double> seconds;
  for (const Sample& s : samples) seconds.push_back(s.seconds);
  return Median(seconds);
}

struct Comparison {
  int rounds = 0;
  double ours = 0, theirs = 0;  // median seconds
  double ratio = 0;             // ours / theirs
  long peak_ours_kib = 0, peak_theirs_kib = 0;
};

// Prints one line for two series of samples: rounds, median seconds of each
// side, their ratio against the target, and each side's highest peak memory.
inline Comparison Report(const char* what, const std::vector<Sample>& ours, const std::vector<Sample>& theirs,
                         double target_ratio, const char* our_label = "ours",
                         const char* their_label = "reference") {
  Comparison c;
  c.rounds = static_cast<int>(ours.size());
  for (const Sample& s : ours) c.peak_ours_kib = std::max(c.peak_ours_kib, s.peak_kib);
  for (const Sample& s : theirs) c.peak_theirs_kib = std::max(c.peak_theirs_kib, s.peak_kib);
  c.ours = MedianSeconds(ours);
  c.theirs = MedianSeconds(theirs);
  c.ratio = c.ours / c.theirs;
  std::printf("%-34s %d rounds  %s %7.3f s  %s %7.3f s  ratio %.3f (target <= %.2f)  peak %ld / %ld MiB\n", what,
              c.rounds, our_label, c.ours, their_label, c.theirs, c.ratio, target_ratio, c.peak_ours_kib / 1024,
              c.peak_theirs_kib / 1024);
  std::fflush(stdout);
  return c;
}

// Runs `ours` and `theirs` alternately `rounds` times each, every run after
// `reset` and Settle(), and reports them. The side that goes first changes
// from round to round (ours, theirs, theirs, ours, ...), so that neither
// always follows the other.
inline Comparison Compare(const char* what, int rounds, const std::function<void()>& reset,
                          const std::function<Sample()>& ours, const std::function<Sample()>& theirs,
                          double target_ratio) {
  std::vector<Sample> a, b;
  const auto run = [&](const std::function<Sample()>& side, std::vector<Sample>& samples) {
    reset();
    Settle();
    samples.push_back(side());
  };
  for (int i = 0; i < rounds; ++i) {
    if (i % 2 == 0) {
      run(ours, a);
      run(theirs, b);
    } else {
      run(theirs, b);
      run(ours, a);
    }
  }
  return Report(what, a, b, target_ratio);
}

}  // namespace coffer::bench
