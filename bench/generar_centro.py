#!/usr/bin/env python3
"""Writes a realistic centre document of any size and a SOLUC that the host could have solved
for it (a level-4 dBase table with N fields), for the benchmark.

    generar_centro.py GRUPOS CARPETA   ->  CARPETA/centro.xml, CARPETA/SOLUC.DBF

N groups with about ten subjects each, 2N teachers, N/2 rooms, 20 departments, 10 courses of
study, 35 sessions (Monday to Friday, seven a day), accented names, and about 25 placed
lessons or tasks per group. Codes are at most four characters and unique, so the short codes
the converter gives are the codes themselves and every SOLUC row finds its match."""
import datetime
import random
import struct
import sys
from pathlib import Path
from xml.sax.saxutils import quoteattr

DIGITOS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"


def codigo(letra, n, ancho=3):
    s = ""
    for _ in range(ancho):
        n, r = divmod(n, len(DIGITOS))
        s = DIGITOS[r] + s
    return letra + s


NOMBRES = ["Ana", "José", "María", "Íñigo", "Begoña", "Raúl", "Lucía", "Óscar", "Núria", "Jesús"]
APELLIDOS = ["Pérez", "Núñez", "Gómez", "Ibáñez", "Martín", "Sáez", "López", "Peña", "Muñoz", "Díaz"]
MATERIAS = ["Matemáticas", "Lengua Castellana", "Inglés", "Física y Química", "Biología",
            "Geografía e Historia", "Educación Física", "Música", "Tecnología", "Latín",
            "Filosofía", "Economía", "Dibujo Técnico", "Francés", "Religión", "Valores Éticos",
            "Informática", "Griego", "Psicología", "Química", "Física", "Historia del Arte",
            "Literatura Universal", "Cultura Clásica", "Plástica", "Tutoría", "Alemán",
            "Geología", "Anatomía", "Emprendimiento", "Robótica", "Oratoria", "Teatro",
            "Ciencias Aplicadas", "Lengua Cooficial", "Taller de Escritura", "Estadística",
            "Programación", "Diseño", "Comunicación Audiovisual"]
DIAS = "LMXJV"
HORAS = [("08:00", "08:55"), ("08:55", "09:50"), ("09:50", "10:45"), ("11:15", "12:10"),
         ("12:10", "13:05"), ("13:05", "14:00"), ("14:00", "14:30")]


def documento(grupos, azar):
    profesores = 2 * grupos
    aulas = max(2, grupos // 2)
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<Centro Codigo="28099999" Nombre="IES Álamo de Peñalara" CursoEscolar="2026-2027" Version="2.1">']
    out.append("  <Materias>")
    for i, m in enumerate(MATERIAS):
        out.append(f"    <Materia Codigo={quoteattr(codigo('M', i, 2))} Denominacion={quoteattr(m)}/>")
    out.append("  </Materias>")
    out.append("  <TiposActividad>")
    for i, t in enumerate(["Guardia", "Reunión de departamento", "Biblioteca", "Atención a familias", "Coordinación"]):
        out.append(f"    <TipoActividad Codigo={quoteattr(codigo('T', i, 2))} Denominacion={quoteattr(t)}/>")
    out.append("  </TiposActividad>")
    out.append("  <Departamentos>")
    for i in range(20):
        out.append(f"    <Departamento Codigo={quoteattr(codigo('D', i, 2))} Denominacion={quoteattr('Departamento de ' + MATERIAS[i])}/>")
    out.append("  </Departamentos>")
    out.append("  <Profesores>")
    for i in range(profesores):
        out.append(f"    <Profesor Codigo={quoteattr(codigo('P', i))} Nombre={quoteattr(azar.choice(NOMBRES))} "
                   f"Apellido1={quoteattr(azar.choice(APELLIDOS))} Apellido2={quoteattr(azar.choice(APELLIDOS))} "
                   f"CodigoDep={quoteattr(codigo('D', i % 20, 2))}/>")
    out.append("  </Profesores>")
    out.append("  <Aulas>")
    for i in range(aulas):
        out.append(f"    <Aula Codigo={quoteattr(codigo('A', i))} Denominacion={quoteattr(f'Aula {i + 1} (planta {i % 3})')}/>")
    out.append("  </Aulas>")
    out.append("  <Ensenanzas>")
    for i, e in enumerate(["ESO", "Bachillerato de Ciencias", "Bachillerato de Humanidades", "FP Básica",
                           "Ciclo de Informática", "Ciclo de Administración", "Ciclo de Sanidad",
                           "Educación de Adultos", "Bachillerato de Artes", "Programa de Diversificación"]):
        out.append(f"    <Ensenanza Codigo={quoteattr(codigo('E', i, 2))} Denominacion={quoteattr(e)}/>")
    out.append("  </Ensenanzas>")
    out.append("  <Grupos>")
    cargas = []
    for g in range(grupos):
        materias = azar.sample(range(len(MATERIAS)), 10)
        cargas.append(materias)
        out.append(f"    <Grupo Codigo={quoteattr(codigo('G', g))} Denominacion={quoteattr(f'{g % 4 + 1}º {chr(65 + g % 26)} Año {g}')} "
                   f"CodigoEnsenanza={quoteattr(codigo('E', g % 10, 2))} Turno=\"M\" Curso=\"{g % 4 + 1}\" "
                   f"Letra=\"{chr(65 + g % 26)}\" CodigoTutor={quoteattr(codigo('P', (2 * g) % profesores))}>")
        out.append("      <MateriasGrupo>")
        for m in materias:
            horas = azar.choice(["03,00", "04,00", "02,00", "02,50", "01,00"])
            out.append(f"        <MateriaGrupo Codigo={quoteattr(codigo('M', m, 2))} Horas=\"{horas}\"/>")
        out.append("      </MateriasGrupo>")
        out.append("    </Grupo>")
    out.append("  </Grupos>")
    out.append("  <Sesiones>")
    for d in DIAS:
        for ini, fin in HORAS:
            out.append(f'    <Sesion Dia="{d}" HoraInicio="{ini}" HoraFin="{fin}"/>')
    out.append("  </Sesiones>")
    out.append("</Centro>")
    return "\n".join(out) + "\n", cargas, profesores, aulas


# A dBase IV table as a host writes it: 32-byte header, 32-byte descriptors, N fields as
# right-aligned digits.
CAMPOS = [("ASIG", "C", 4), ("TAREA", "C", 4), ("DIA", "N", 2), ("HORA", "N", 3),
          ("CODGRUPO", "C", 4), ("PROF", "C", 4), ("AULA", "C", 4)]


def soluc(filas):
    hoy = datetime.date.today()
    largo_registro = 1 + sum(c[2] for c in CAMPOS)
    largo_cabecera = 32 + 32 * len(CAMPOS) + 1
    cab = struct.pack("<BBBBIHH20x", 0x03, hoy.year - 1900, hoy.month, hoy.day,
                      len(filas), largo_cabecera, largo_registro)
    for nombre, tipo, ancho in CAMPOS:
        cab += struct.pack("<11sc4xBB14x", nombre.encode(), tipo.encode(), ancho, 0)
    cab += b"\x0d"
    cuerpo = bytearray()
    for fila in filas:
        cuerpo += b" "
        for (nombre, tipo, ancho), valor in zip(CAMPOS, fila):
            texto = str(valor).encode("cp1252")
            cuerpo += texto.rjust(ancho) if tipo == "N" else texto.ljust(ancho)
    return cab + bytes(cuerpo) + b"\x1a"


def main():
    grupos, carpeta = int(sys.argv[1]), Path(sys.argv[2])
    carpeta.mkdir(parents=True, exist_ok=True)
    azar = random.Random(grupos)
    xml, cargas, profesores, aulas = documento(grupos, azar)
    (carpeta / "centro.xml").write_text(xml, encoding="utf-8")
    filas = []
    for g, materias in enumerate(cargas):
        for k in range(25):
            dia, hora = k % 5 + 1, k // 5 + 1
            prof, aula = codigo("P", azar.randrange(profesores)), codigo("A", azar.randrange(aulas))
            if k % 12 == 11:  # a task: ASIG equals TAREA
                tarea = codigo("T", k % 5, 2)
                filas.append((tarea, tarea, dia, hora, codigo("G", g), prof, ""))
            else:
                filas.append((codigo("M", materias[k % 10], 2), "CCM", dia, hora, codigo("G", g), prof, aula))
    (carpeta / "SOLUC.DBF").write_bytes(soluc(filas))


if __name__ == "__main__":
    main()
