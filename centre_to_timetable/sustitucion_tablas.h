// All-or-nothing replacement of the work tables. The builders write into a staging folder
// (.transorvant/nuevo inside the work folder); only when all have finished are the old files
// moved aside and the new ones put in place. A run killed half-way is undone (or finished)
// by the next one.
//
//   .transorvant/nuevo/     the tables being built
//   .transorvant/lista      written before the first move: old files present, new files
//   .transorvant/anterior/  the old files while the new ones are put in place
//   .transorvant/hecho      every new file is in place; anterior/ may go
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace tov {

class SistemaArchivos;

class SustitucionTablas {
 public:
  // Recovers from a run that was killed during its commit, then prepares an empty staging
  // folder. The caller holds the folder's lock.
  SustitucionTablas(std::filesystem::path carpeta, SistemaArchivos& archivos);
  // Without confirmar(), removes the staging folder: the work folder stays as it was.
  ~SustitucionTablas();
  SustitucionTablas(const SustitucionTablas&) = delete;
  SustitucionTablas& operator=(const SustitucionTablas&) = delete;

  const std::filesystem::path& nuevo() const { return nuevo_; }

  // Puts the new tables in place of the old ones (and removes the host's CURSOST).
  // On failure everything moved is moved back and the error is thrown.
  void confirmar();

  // The files of the work folder that a conversion replaces: the seven tables and CURSOST.
  static const std::vector<std::string>& archivosSustituidos();

 private:
  void recuperar();
  void limpiarEscenario();
  void borrarEscenario() noexcept;

  std::filesystem::path carpeta_;
  std::filesystem::path escenario_;
  std::filesystem::path nuevo_;
  std::filesystem::path anterior_;
  SistemaArchivos& archivos_;
  bool confirmado_ = false;
};

}  // namespace tov
