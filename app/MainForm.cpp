#include "app/MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QWindow>
#include <iostream>

#include "app/archivo_ini.h"
#include "app/ayuda.h"
#include "app/glifos.h"
#include "app/interfaz_qt.h"
#include "app/panel_degradado.h"
#include "app/respuestas_prueba.h"
#include "app/ventana_nativa.h"
#include "centre_to_timetable/bexportar.h"
#include "timetable_to_centre/bimportar.h"

namespace tov {
namespace {

// The design, in pixels at 96 dpi.
constexpr QSize kAreaCliente(632, 266);
constexpr QPoint kPosicion(194, 167);
constexpr QSize kTamBoton(89, 25);

// The host reads the status from here, beside the converter's executable.
constexpr char kArchivoEstado[] = "Orvantis.ini";
constexpr char kSeccionEstado[] = "Transformadores";
constexpr char kClaveEstado[] = "Transformado";

// Font height -11 is 8 point at 96 dpi; -16 is 12 point.
QFont fuente(const char* familia, int pixeles, bool negrita) {
  QFont f(QString::fromLatin1(familia));
  f.setPixelSize(pixeles);
  f.setBold(negrita);
  return f;
}

void colorTexto(QWidget* w, const QColor& color) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, color);
  p.setColor(QPalette::Text, color);
  w->setPalette(p);
}

QPushButton* boton(QWidget* padre, const char* nombre, const QString& texto, QRect geometria,
                   const QIcon& glifo = {}) {
  auto* b = new QPushButton(texto, padre);
  b->setObjectName(QString::fromLatin1(nombre));
  b->setGeometry(geometria);
  if (!glifo.isNull()) {
    b->setIcon(glifo);
    b->setIconSize(glifo.availableSizes().value(0));
  }
  return b;
}

QLabel* etiquetaMitad(QWidget* padre, const char* nombre, const QString& texto, QRect geometria) {
  auto* l = new QLabel(texto, padre);
  l->setObjectName(QString::fromLatin1(nombre));
  l->setGeometry(geometria);
  l->setWordWrap(true);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  l->setFont(fuente("Arial", 16, true));
  return l;
}

}  // namespace

TMForm::TMForm(const std::vector<std::string>& parametros, std::filesystem::path carpetaPrograma,
               QWidget* padre)
    : QWidget(padre, Qt::Window),
      carpetaPrograma_(std::move(carpetaPrograma)),
      ui_(std::make_unique<InterfazQt>(*this)) {
  crearComponentes();
  FormCreate(parametros);
}

TMForm::~TMForm() {
  if (vigilante_) qApp->removeNativeEventFilter(vigilante_.get());
}

void TMForm::crearComponentes() {
  setObjectName(QStringLiteral("MForm"));
  setWindowTitle(QStringLiteral("Exportar e importar datos entre Orvantis y Lumbra-Zetra"));
  // Dialog border: fixed size, a caption with a close box only.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(kAreaCliente);
  move(kPosicion);
  setFont(fuente("MS Sans Serif", 11, false));

  const QColor franjaInicio(194, 205, 254), franjaMedio(207, 242, 254), franjaFin(204, 216, 230);
  const QColor mitadInicio(249, 211, 125), mitadMedio(Qt::white), mitadFin(255, 238, 221);
  const QColor lima(0, 255, 0);

  // Created in the design's order: a later panel lies above an earlier one.
  Draw3D1 = new PanelDegradado(franjaInicio, franjaMedio, franjaFin, franjaFin, this);
  Draw3D1->setObjectName(QStringLiteral("Draw3D1"));
  Draw3D1->setGeometry(0, 168, 633, 97);

  Label1 = new QLabel(QStringLiteral("TransOrvantisLumbra-Zetra para ZT20 V-1.1"), Draw3D1);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(fuente("MS Sans Serif", 11, true));
  colorTexto(Label1, Qt::red);
  Label1->move(8, 72);
  Label1->adjustSize();  // an auto-sized label: as wide as its text in this font

  BClose = boton(Draw3D1, "BClose", QStringLiteral("&Salir"), {QPoint(256, 32), kTamBoton},
                 glifoCerrar());
  Button1 = boton(Draw3D1, "Button1", QStringLiteral("F1 Ayuda"), {48, 40, 75, 25});

  ListBoxPlanti = new QListWidget(Draw3D1);
  ListBoxPlanti->setObjectName(QStringLiteral("ListBoxPlanti"));
  ListBoxPlanti->setGeometry(576, 4, 49, 29);
  ListBoxPlanti->setFont(fuente("MS Sans Serif", 11, true));
  colorTexto(ListBoxPlanti, Qt::blue);
  ListBoxPlanti->setSortingEnabled(true);
  ListBoxPlanti->setVisible(false);

  Draw3D2 = new PanelDegradado(mitadInicio, mitadMedio, mitadFin, lima, this);
  Draw3D2->setObjectName(QStringLiteral("Draw3D2"));
  Draw3D2->setGeometry(0, 0, 315, 169);
  Label3 = etiquetaMitad(Draw3D2, "Label3",
                         QStringLiteral("Transformar datos desde Lumbra-Zetra hacia Orvantis "),
                         {24, 24, 265, 57});
  BExportar = boton(Draw3D2, "BExportar", QStringLiteral("Aceptar"),
                    {QPoint(96, 120), kTamBoton}, glifoAceptar());

  Draw3D3 = new PanelDegradado(mitadInicio, mitadMedio, mitadFin, lima, this);
  Draw3D3->setObjectName(QStringLiteral("Draw3D3"));
  Draw3D3->setGeometry(316, 0, 317, 169);
  Label4 = etiquetaMitad(Draw3D3, "Label4",
                         QStringLiteral("Transformar datos desde Orvantis hacia Lumbra-Zetra"),
                         {8, 24, 305, 57});
  BImportar = boton(Draw3D3, "BImportar", QStringLiteral("Aceptar"),
                    {QPoint(96, 120), kTamBoton}, glifoAceptar());

  // Tab order: the strip (BClose, Button1, the list), then the left half, then the right.
  setTabOrder(BClose, Button1);
  setTabOrder(Button1, ListBoxPlanti);
  setTabOrder(ListBoxPlanti, BExportar);
  setTabOrder(BExportar, BImportar);
  BClose->setFocus();

  connect(BClose, &QPushButton::clicked, this, &QWidget::close);
  connect(Button1, &QPushButton::clicked, this, &TMForm::Button1Click);
  connect(BExportar, &QPushButton::clicked, this, &TMForm::BExportarClick);
  connect(BImportar, &QPushButton::clicked, this, &TMForm::BImportarClick);
  // F1 asks for help wherever the focus is in the window.
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this, this, &TMForm::Button1Click);
  f1->setContext(Qt::WindowShortcut);
}

void TMForm::FormCreate(const std::vector<std::string>& parametros) {
  estado_.EstadoTransformado = 0;
  // The code lists exist from here on whatever the command line holds (EstadoPrograma).
  ModoInicio modo;
  if (!protegido([&] { modo = leerLineaComandos(parametros); })) return;  // standalone
  if (modo.anfitrion) incrustar(modo);
}

void TMForm::incrustar(const ModoInicio& modo) {
  // Borderless before the native window exists: changing flags later would recreate it.
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  winId();
  const WId manejador = static_cast<WId>(static_cast<std::uint32_t>(modo.manejador));
  // A handle that names no window is treated like 0: top-level at the screen's origin.
  if (existeVentanaNativa(manejador)) anfitrion_ = QWindow::fromWinId(manejador);
  if (anfitrion_) {
    // Reparented before the first show: under a window manager a shown window reparented
    // would stay unmapped.
    windowHandle()->setParent(anfitrion_);
    vigilante_ = std::make_unique<VigilanteDestruccion>(winId(), [this] { alDestruirseAnfitrion(); });
    qApp->installNativeEventFilter(vigilante_.get());
  }
  move(0, 0);
  estado_.NumParametros = 2;
  // The chosen half covers the window, and the strip with it (it was created before).
  if (modo.mitad == Mitad::importar) {
    Draw3D2->hide();
    Draw3D3->setGeometry(rect());
    BImportar->setFocus();
  }
  if (modo.mitad == Mitad::exportar) {
    Draw3D3->hide();
    Draw3D2->setGeometry(rect());
    BExportar->setFocus();
  }
}

void TMForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);  // FormShow has nothing to do
  if (mostrada_) return;
  mostrada_ = true;
  const QStringList botones = prueba::botonesAPulsar();
  if (!botones.isEmpty()) QTimer::singleShot(0, this, [this, botones] { pulsarParaPruebas(botones); });
}

void TMForm::pulsarParaPruebas(QStringList botones) {
  const QString nombre = botones.takeFirst();
  if (auto* b = findChild<QPushButton*>(nombre)) b->click();
  else std::cerr << "TOV_PRUEBA_PULSAR: no hay botón " << nombre.toStdString() << std::endl;
  if (!botones.isEmpty()) QTimer::singleShot(0, this, [this, botones] { pulsarParaPruebas(botones); });
}

void TMForm::FormClose() {
  if (estado_.NumParametros != 2) return;
  escribirValorIni(carpetaPrograma_ / kArchivoEstado, kSeccionEstado, kClaveEstado,
                   std::to_string(estado_.EstadoTransformado));
}

void TMForm::closeEvent(QCloseEvent* e) {
  // A status that cannot be written keeps the window open; the next close tries again.
  if (!protegido([this] { FormClose(); })) {
    e->ignore();
    return;
  }
  if (vigilante_) {
    qApp->removeNativeEventFilter(vigilante_.get());
    vigilante_.reset();
  }
  e->accept();
  // The process ends with its main window. Qt would not see it: once reparented into the
  // host, our window no longer counts as a top-level one whose closing quits.
  QCoreApplication::quit();
}

void TMForm::alDestruirseAnfitrion() {
  // Our window is gone with the host's: no box can be shown any more.
  try {
    FormClose();
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
  }
  QCoreApplication::exit(0);
}

void TMForm::Button1Click() {
  protegido([this] { abrirAyuda(carpetaPrograma_); });
}

void TMForm::BExportarClick() {
  protegido([this] { ::tov::BExportarClick(estado_, *ui_); });
}

void TMForm::BImportarClick() {
  protegido([this] { ::tov::BImportarClick(estado_, *ui_); });
}

void TMForm::informarError(const std::exception& e) { ui_->mostrarError(e.what()); }

void TMForm::prepararEmergente(QWidget& emergente) {
  if (anfitrion_) {
    emergente.setParent(nullptr, emergente.windowFlags());
    emergente.winId();
    emergente.windowHandle()->setTransientParent(anfitrion_);
    return;
  }
  emergente.setParent(this, emergente.windowFlags());
}

}  // namespace tov
