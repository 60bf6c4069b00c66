#!/usr/bin/perl
# Oracle keys for the UCA collator's tests: samples EDICT headwords, readings
# and glosses, ENAMDICT names and the Russian hunspell words, and prints for
# each "text<TAB>key": the level-1..3 sort key (hex weights) that Perl's
# Unicode::Collate gives over the same DUCET 5.0.0 allkeys.txt, shifted,
# without normalization and with every contraction suppressed (the collator
# uses single code points only).
#   perl uca_oracle.pl <allkeys.txt> <edict> <enamdict> <ru_RU.dic> <out>
# The collator expands repetition signs and the prolonged sound sign itself;
# the oracle gets those texts written out (the vowel of a kana from its
# character name), and texts it cannot express are left out and counted in a
# closing "# left out" line.
use strict;
use warnings;
use Encode qw(decode);
use File::Temp qw(tempdir);
use File::Copy qw(copy);
use charnames ();
use Unicode::Collate;

my ($allkeys, $edict, $enamdict, $russian, $out) = @ARGV;

# Unicode::Collate finds its table under Unicode/Collate in @INC.
my $dir = tempdir(CLEANUP => 1);
mkdir "$dir/Unicode";
mkdir "$dir/Unicode/Collate";
copy($allkeys, "$dir/Unicode/Collate/allkeys500.txt") or die "copy: $!";
unshift @INC, $dir;

my %starters;
open my $keys, '<', $allkeys or die "$allkeys: $!";
while (<$keys>) {
    $starters{hex((split ' ', $1)[0])} = 1 if /^([0-9A-F]{4,6}(?: [0-9A-F]{4,6})+)\s*;/;
}
close $keys;

my $collator = Unicode::Collate->new(
    table => 'allkeys500.txt',
    UCA_Version => 14,
    normalization => undef,
    variable => 'shifted',
    level => 3,
    suppress => [sort { $a <=> $b } keys %starters],
);

# Index keys are cut at 127 units before they reach a collator.
my $keySegment = 127;
my @samples;

sub edict_samples {
    my ($path, $every, $glosses) = @_;
    open my $in, '<:raw', $path or return;
    my $n = 0;
    while (my $line = <$in>) {
        next if $n++ % $every;
        my $text = decode('euc-jp', $line);
        next unless $text =~ /^(\S+) /;
        push @samples, $1;
        push @samples, $1 if $text =~ /\[([^\]]+)\]/;
        push @samples, $1 if $glosses && $text =~ m{/([^/]+)/} && length($1) <= $keySegment;
    }
}

edict_samples($edict, 11, 1);
edict_samples($enamdict, 60, 0);
if (open my $in, '<:encoding(UTF-8)', $russian) {
    my $n = 0;
    while (my $line = <$in>) {
        next unless $n++ % 15 == 1;
        chomp $line;
        $line =~ s{/.*}{};
        push @samples, $line if length $line;
    }
}

sub is_ideograph {
    my ($c) = @_;
    return ($c >= 0x4E00 && $c <= 0x9FFF) || ($c >= 0xF900 && $c <= 0xFAFF) ||
           ($c >= 0x3400 && $c <= 0x4DBF) || ($c >= 0x20000 && $c <= 0x2A6DF);
}

# The vowel a prolonged sound sign takes after a kana: the kana letter of the
# last letter of its name (HIRAGANA LETTER SMALL KA gives HIRAGANA LETTER A);
# the syllabic n stays; the iteration marks stay; anything else gives the
# sign itself.
sub vowel_of {
    my ($c) = @_;
    return $c if $c == 0x30FD || $c == 0x30FE;
    return 0x30FC if ($c >= 0x3094 && $c <= 0x30A0) || ($c >= 0x30F7 && $c <= 0x30FC) || $c == 0x30FF || $c < 0x3041;
    my $name = charnames::viacode($c) // return 0x30FC;
    return 0x30FC unless $name =~ /^(HIRAGANA|KATAKANA) LETTER (?:SMALL )?([A-Z]+)$/;
    my ($script, $syllable) = ($1, $2);
    my $vowel = $syllable eq 'N' ? 'N' : substr($syllable, -1);
    return charnames::vianame("$script LETTER $vowel") // 0x30FC;
}

# The text as the collator expands it, or undef when the oracle cannot express it.
sub oracle_form {
    my ($text) = @_;
    my ($form, $previous) = ('', undef);
    for my $c (map { ord } split //, $text) {
        my $processed = $c;
        return undef if ($c >= 0x9FBC && $c <= 0x9FFF) || ($c >= 0x4DB6 && $c <= 0x4DBF) ||
                        ($c >= 0x2A6D7 && $c <= 0x2A6DF);
        my $kana = defined $previous && $previous >= 0x3001 && $previous <= 0x30FE;
        if (defined $previous && ($c == 0x3005 || $c == 0x303B) && is_ideograph($previous)) {
            $c = $previous;
        } elsif ($kana && grep { $c == $_ } 0x309D, 0x30FD, 0x3031, 0x3033, 0x3035) {
            $c = $previous;
        } elsif ($kana && grep { $c == $_ } 0x309E, 0x30FE, 0x3032, 0x3034) {
            return undef;
        } elsif ($kana && $c == 0x30FC) {
            $c = $processed = vowel_of($previous);
        }
        $form .= chr $c;
        $previous = $processed;
    }
    return $form;
}

open my $result, '>:encoding(UTF-8)', $out or die "$out: $!";
my $left = 0;
for my $text (@samples) {
    my $form = oracle_form($text);
    if (!defined $form) {
        ++$left;
        next;
    }
    my @weights = unpack 'n*', $collator->getSortKey($form);
    pop @weights if @weights && $weights[-1] == 0;   # the key closes with one more separator
    print $result $text, "\t", join(' ', map { sprintf '%X', $_ } @weights), "\n";
}
print $result "# left out $left\n";
close $result or die "$out: $!";
