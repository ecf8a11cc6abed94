#include "app/Main.h"
#include "app/Accueil.h"
#include "platform/Application.h"

#include <QPointer>

int main(int argc, char** argv) {
  vorlan::VorlanApplication app(argc, argv);

  // The splash is on screen before the frame exists; it hides itself and is freed at the end.
  QPointer<vorlan::TSplashform> splash = new vorlan::TSplashform;
  splash->ShowAndPaint();

  vorlan::TForm1 Form1;
  Form1.show();
  // Window managers keep a stay-on-top window above; without one, stacking follows map order.
  if (splash) splash->raise();
  const int result = app.exec();
  delete splash;
  return result;
}
