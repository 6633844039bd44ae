/* tecla_na_tela: keystroke to screen. Presses keys through the X test extension and times, for
 * each, the first damage of the program's window that follows (the X server's own report that
 * the window's pixels changed), and prints the median and the 99th percentile.
 *
 *   tecla_na_tela JANELA < keystrokes
 *
 * Each line of the input is one keystroke: keysym names separated by blanks; the names before
 * the last (a dead key) are pressed first and not timed. Keysyms the keyboard map lacks are
 * given spare key codes once, before the first key, so that the program rebuilds its keymap
 * only then. The cursor blink and the clock repaint the window on their own: a key is pressed
 * only after the window has been quiet for a while and well before the next blink is due, so
 * that the damage that follows is the key's. */
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon.h>

#include "MapaTecladoX.h"

enum { kMaxTeclas = 4096, kMaxNomes = 4, kSilencioMs = 12, kDepoisDoPiscarMs = 150, kPiscarMs = 250, kEcoMs = 40 };

typedef struct {
    xcb_keysym_t sym[kMaxNomes];
    int n;
} Toque;

static xcb_connection_t* con;
static uint8_t primeiroEventoDano;
static MapaTecladoX mapa;
static xcb_keycode_t codigoShift;
static double ultimoEspontaneo = -1e9;  /* last damage no key caused (blink, clock) */
static double ultimaTecla = -1e9;       /* last key event sent */

static double agoraMs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* The keysyms of every keystroke, each once, bound where the map lacks them. */
static int completarMapa(const Toque* toques, int n)
{
    static xcb_keysym_t syms[kMaxTeclas * kMaxNomes];
    int total = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < toques[i].n; ++j) syms[total++] = toques[i].sym[j];
    return mapa_completar(&mapa, syms, total);
}

static xcb_keycode_t acharCodigo(xcb_keysym_t sym, int* shift) { return mapa_codigo(&mapa, sym, shift); }

/* The next event, waiting for it without spinning until the moment ateMs; NULL at that moment. */
static xcb_generic_event_t* proximoEvento(double ateMs)
{
    for (;;) {
        xcb_generic_event_t* e = xcb_poll_for_event(con);
        if (e) return e;
        const double resta = ateMs - agoraMs();
        if (resta <= 0) return NULL;
        struct pollfd p = {xcb_get_file_descriptor(con), POLLIN, 0};
        poll(&p, 1, (int)resta + 1);
    }
}

/* 1 when the event is a damage of the window. */
static int ehDano(xcb_generic_event_t* e)
{
    return e && (e->response_type & 0x7f) == primeiroEventoDano + XCB_DAMAGE_NOTIFY;
}

/* Waits until the window has had no damage for kSilencioMs; a damage long after the last key
 * is spontaneous. Gives up after limiteMs (the window may repaint without end). */
static void esperarSilencio(double limiteMs)
{
    const double fim = agoraMs() + limiteMs;
    double ultimo = agoraMs();
    xcb_generic_event_t* e;
    while ((e = proximoEvento(ultimo + kSilencioMs < fim ? ultimo + kSilencioMs : fim))) {
        if (ehDano(e)) {
            ultimo = agoraMs();
            if (ultimo - ultimaTecla > kEcoMs) ultimoEspontaneo = ultimo;
        }
        free(e);
    }
}

/* A key is pressed soon after a blink, so that the next one is far. */
static void esperarVez(void)
{
    esperarSilencio(2000);
    if (agoraMs() - ultimoEspontaneo <= kDepoisDoPiscarMs) return;
    const double desde = ultimoEspontaneo;
    const double fim = agoraMs() + kPiscarMs + 50;
    while (ultimoEspontaneo == desde && agoraMs() < fim) esperarSilencio(kPiscarMs);
}

static void enviar(uint8_t tipo, xcb_keycode_t codigo)
{
    xcb_test_fake_input(con, tipo, codigo, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    ultimaTecla = agoraMs();
}

/* Presses a key (Shift first when the keysym needs it), untimed, and lets the window settle. */
static void teclaSemMedir(xcb_keysym_t sym)
{
    int shift = 0;
    const xcb_keycode_t codigo = acharCodigo(sym, &shift);
    if (shift) enviar(XCB_KEY_PRESS, codigoShift);
    enviar(XCB_KEY_PRESS, codigo);
    enviar(XCB_KEY_RELEASE, codigo);
    if (shift) enviar(XCB_KEY_RELEASE, codigoShift);
    xcb_flush(con);
    esperarSilencio(500);
}

/* The time from the key press to the first damage of the window; negative when none came
 * within a second. Shift, when needed, is pressed before the clock starts. */
static double teclaMedida(xcb_keysym_t sym)
{
    int shift = 0;
    const xcb_keycode_t codigo = acharCodigo(sym, &shift);
    if (shift) {
        enviar(XCB_KEY_PRESS, codigoShift);
        xcb_flush(con);
        esperarSilencio(100);
    }
    const double inicio = agoraMs();
    enviar(XCB_KEY_PRESS, codigo);
    xcb_flush(con);
    double ms = -1;
    xcb_generic_event_t* e;
    while (ms < 0 && (e = proximoEvento(inicio + 1000))) {
        if (ehDano(e)) ms = agoraMs() - inicio;
        free(e);
    }
    enviar(XCB_KEY_RELEASE, codigo);
    if (shift) enviar(XCB_KEY_RELEASE, codigoShift);
    xcb_flush(con);
    return ms;
}

static int comparar(const void* a, const void* b)
{
    const double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

static int lerToques(Toque* toques)
{
    char linha[512];
    int n = 0;
    while (n < kMaxTeclas && fgets(linha, sizeof linha, stdin)) {
        Toque t = {{0}, 0};
        for (char* nome = strtok(linha, " \t\r\n"); nome && t.n < kMaxNomes; nome = strtok(NULL, " \t\r\n")) {
            const xkb_keysym_t sym = xkb_keysym_from_name(nome, XKB_KEYSYM_NO_FLAGS);
            if (sym == XKB_KEY_NoSymbol) {
                fprintf(stderr, "tecla_na_tela: tecla desconhecida: %s\n", nome);
                return -1;
            }
            t.sym[t.n++] = sym;
        }
        if (t.n) toques[n++] = t;
    }
    return n;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "uso: tecla_na_tela JANELA < teclas\n");
        return 2;
    }
    const xcb_window_t janela = (xcb_window_t)strtoul(argv[1], NULL, 0);
    static Toque toques[kMaxTeclas];
    const int n = lerToques(toques);
    if (n <= 0) return 2;

    con = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(con)) {
        fprintf(stderr, "tecla_na_tela: sem conexão com o servidor X\n");
        return 1;
    }
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(con, &xcb_damage_id);
    if (!ext || !ext->present || !xcb_get_extension_data(con, &xcb_test_id)->present) {
        fprintf(stderr, "tecla_na_tela: o servidor não tem as extensões DAMAGE e XTEST\n");
        return 1;
    }
    primeiroEventoDano = ext->first_event;
    free(xcb_damage_query_version_reply(con, xcb_damage_query_version(con, 1, 1), NULL));
    const xcb_damage_damage_t dano = xcb_generate_id(con);
    xcb_damage_create(con, dano, janela, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);

    if (mapa_ler(&mapa, con)) return 1;
    int shift;
    codigoShift = acharCodigo(XKB_KEY_Shift_L, &shift);
    if (completarMapa(toques, n) < 0) {
        fprintf(stderr, "tecla_na_tela: faltam códigos de tecla livres\n");
        return 1;
    }
    esperarSilencio(1000);  /* the program reads the new map */

    static double ms[kMaxTeclas];
    int medidas = 0, semDano = 0;
    for (int i = 0; i < n; ++i) {
        esperarVez();
        for (int j = 0; j + 1 < toques[i].n; ++j) teclaSemMedir(toques[i].sym[j]);
        const double t = teclaMedida(toques[i].sym[toques[i].n - 1]);
        if (t < 0) ++semDano;
        else ms[medidas++] = t;
    }
    xcb_damage_destroy(con, dano);
    xcb_disconnect(con);
    if (!medidas) {
        fprintf(stderr, "tecla_na_tela: nenhuma tecla mudou a janela\n");
        return 1;
    }
    qsort(ms, (size_t)medidas, sizeof ms[0], comparar);
    const double mediana = ms[medidas / 2];
    const double p99 = ms[medidas * 99 / 100 < medidas ? medidas * 99 / 100 : medidas - 1];
    printf("teclas medidas: %d (sem mudança na janela: %d)\n", medidas, semDano);
    printf("da tecla à tela: mediana %.2f ms, p99 %.2f ms, máximo %.2f ms\n", mediana, p99, ms[medidas - 1]);
    printf("meta (mediana <= 3 ms, p99 <= 8 ms): %s\n", mediana <= 3 && p99 <= 8 ? "cumprida" : "NÃO cumprida");
    return 0;
}
