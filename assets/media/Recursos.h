#pragma once
// The program's packed pictures and sounds (library tarvex_resources).
//
// Paths: :/imagens/botoes/<Digi|Cad|Rec|Ajuda|Config|Licao|Exige|Sair><0|1>.png (0 highlighted,
// 1 normal, 250 x 100), :/imagens/abertura.png, icone.png, bloco.png, certo.png, errado.png,
// feliz.png, triste.png, trofeu.png, cadastro.png, config.png, exigencias.png, remover.png,
// ajuda16.png, sair16.png, ok16.png, and :/sons/clique.wav, erro.wav, fanfarra.wav.
//
// Linking tarvex_resources is enough: Qt builds the packed data as an object file that is linked
// into the program itself, and it registers itself when the program starts. No call is needed.
// tarvexInitResources() exists for code that wants to state the dependency; it only checks, in
// debug builds, that the resources are there.

void tarvexInitResources();
