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
#include <vector>

namespace coffer::bench {

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

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs `ours` and `theirs` alternately `rounds` times, each preceded by
// `reset`, and prints one line: median seconds, ratio, peak memory.
inline double Compare(const char* what, int rounds, const std::function<void()>& reset,
                      const std::function<Sample()>& ours, const std::function<Sample()>& theirs,
                      double target_ratio) {
  std::vector<double> t_ours, t_theirs;
  long m_ours = 0, m_theirs = 0;
  for (int i = 0; i < rounds; ++i) {
    reset();
    const Sample a = ours();
    reset();
    const Sample b = theirs();
    t_ours.push_back(a.seconds);
    t_theirs.push_back(b.seconds);
    m_ours = std::max(m_ours, a.peak_kib);
    m_theirs = std::max(m_theirs, b.peak_kib);
  }
  const double ratio = Median(t_ours) / Median(t_theirs);
  std::printf("%-34s ours %7.3f s  reference %7.3f s  ratio %.3f (target <= %.2f)  peak %ld / %ld MiB\n", what,
              Median(t_ours), Median(t_theirs), ratio, target_ratio, m_ours / 1024, m_theirs / 1024);
  std::fflush(stdout);
  return ratio;
}

}  // namespace coffer::bench
