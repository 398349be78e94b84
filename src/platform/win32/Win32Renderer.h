// The module's screens as real windows: every shown form of the form layer is a top-level,
// stay-on-top window of its own size and position, owned by the host window the entry point
// received, its controls drawn at their geometry with the ANSI text functions (the texts are
// Windows-1252). Message boxes are the system's, with the flags the screens ask for. While a
// screen is up the host window is disabled; it gets the focus back when the last one closes.
// An observer of the form layer like the terminal renderer: the forms never know it is there.
#pragma once

#include <map>
#include <string>

#include "platform/win32/Win32Keyboard.h" // the form layer, then the system's header

class TForm;
class TControl;

class TWin32Renderer {
public:
  explicit TWin32Renderer(TWin32Keyboard &keyboard);
  ~TWin32Renderer();
  TWin32Renderer(const TWin32Renderer &) = delete;
  TWin32Renderer &operator=(const TWin32Renderer &) = delete;

  // Makes the windows match the forms: creates, moves, shows, destroys, repaints.
  void Sync();

  HWND WindowOf(const TForm *f) const;

private:
  TWin32Keyboard &fTeclado;
  int fObservador = 0;
  HWND fAplicacao = nullptr; // the module's application window (hidden)
  HWND fDonoDesabilitado = nullptr;
  std::map<const TForm *, HWND> fJanelas;
  HWND fAtiva = nullptr;
  std::map<std::string, HFONT> fFontes;

  static LRESULT CALLBACK Procedimento(HWND, UINT, WPARAM, LPARAM);
  LRESULT Mensagem(HWND, UINT, WPARAM, LPARAM);
  const TForm *FormOf(HWND h) const;
  void MostraCaixas();
  void Pinta(HWND h, const TForm *f);
  void PintaControle(HDC dc, const TControl *c, int x, int y, const TForm *f);
  HFONT Fonte(const std::string &nome, int tamanho, bool negrito);
};
